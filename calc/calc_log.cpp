#include "calc/calc_log.hpp"

#include "data/number_text.hpp"

namespace tarvik {

CalcLog::~CalcLog() { Close(); }

bool CalcLog::OpenFile(const std::filesystem::path& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void CalcLog::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void CalcLog::Write(std::string_view text) {
    if (file_)
        std::fwrite(text.data(), 1, text.size(), file_);
    else
        text_.append(text);
}

void CalcLog::Line(std::string_view label, double value, int precision, std::string_view suffix) {
    std::string line(label);
    line += FormatNumber(value, precision);
    line += suffix;
    line += '\n';
    Write(line);
}

}  // namespace tarvik
