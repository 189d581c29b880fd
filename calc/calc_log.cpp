#include "calc/calc_log.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "data/number_text.hpp"

namespace tarvik {

CalcLog::~CalcLog() { Close(); }

// The file is not truncated on opening: truncating a file to nothing and writing it again makes
// the file system flush it at close, which costs far more than the calculation. Close writes
// the text over the old one and cuts the file to the new length instead; the bytes are the same.
bool CalcLog::OpenFile(const std::filesystem::path& path) {
    Close();
    text_.clear();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

bool CalcLog::Close() {
    if (fd_ < 0) return true;
    bool ok = true;
    const char* data = text_.data();
    std::size_t left = text_.size();
    while (ok && left > 0) {
        const ssize_t n = ::pwrite(fd_, data, left, static_cast<off_t>(text_.size() - left));
        if (n > 0) {
            data += n;
            left -= static_cast<std::size_t>(n);
        } else if (!(n < 0 && errno == EINTR)) {
            ok = false;
        }
    }
    if (ok && ::ftruncate(fd_, static_cast<off_t>(text_.size())) != 0) ok = false;
    if (::close(fd_) != 0) ok = false;
    fd_ = -1;
    text_.clear();
    return ok;
}

void CalcLog::Write(std::string_view text) { text_.append(text); }

void CalcLog::Line(std::string_view label, double value, int precision, std::string_view suffix) {
    text_.append(label);
    text_ += FormatNumber(value, precision);
    text_.append(suffix);
    text_ += '\n';
}

}  // namespace tarvik
