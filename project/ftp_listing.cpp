#include "project/ftp_listing.hpp"

#include <cctype>
#include <sstream>

#include "data/ascii_text.hpp"

namespace tarvik {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool AllDigits(const std::string& s, std::size_t maxLength) {
    if (s.empty() || s.size() > maxLength) return false;
    for (unsigned char c : s)
        if (!std::isdigit(c)) return false;
    return true;
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

bool ParseFtpTime(const std::string& text, std::int64_t& epochSeconds) {
    const std::string digits = text.substr(0, text.find('.'));
    if (digits.size() != 14 || !AllDigits(digits, 14)) return false;
    const auto num = [&](std::size_t pos, std::size_t len) { return std::stoi(digits.substr(pos, len)); };
    const int y = num(0, 4), mo = num(4, 2), d = num(6, 2), h = num(8, 2), mi = num(10, 2), s = num(12, 2);
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return false;
    epochSeconds = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 +
                   h * 3600 + mi * 60 + s;
    return true;
}

std::vector<RemoteEntry> ParseMlsdListing(const std::string& text) {
    std::vector<RemoteEntry> entries;
    for (const std::string& line : Lines(text)) {
        // Facts end at the first blank; the name is everything after it (it may hold blanks).
        const auto blank = line.find(' ');
        if (blank == std::string::npos || blank + 1 >= line.size()) continue;
        RemoteEntry e;
        e.name = line.substr(blank + 1);
        std::string type;
        std::istringstream facts(line.substr(0, blank));
        std::string fact;
        while (std::getline(facts, fact, ';')) {
            const auto eq = fact.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = AsciiLower(fact.substr(0, eq)), value = fact.substr(eq + 1);
            if (key == "type") type = AsciiLower(value);
            else if (key == "size" && AllDigits(value, 19)) e.size = std::stoull(value);
            else if (key == "modify") {
                std::int64_t t = 0;
                if (ParseFtpTime(value, t)) e.modified = t;
            }
        }
        if (type.empty() || type == "cdir" || type == "pdir") continue;
        // Links and devices ("OS.unix=...") are never taken as files of the update.
        e.isDir = type != "file";
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<RemoteEntry> ParseListListing(const std::string& text) {
    std::vector<RemoteEntry> entries;
    for (const std::string& line : Lines(text)) {
        std::istringstream in(line);
        std::vector<std::string> fields;
        // The name starts after the eighth field of "ls -l" and may hold blanks.
        std::size_t nameStart = std::string::npos;
        const char first = line[0];
        if (first == '-' || first == 'd' || first == 'l') {
            std::size_t pos = 0;
            for (int i = 0; i < 8 && pos != std::string::npos; ++i) {
                pos = line.find_first_not_of(' ', pos);
                if (pos == std::string::npos) break;
                const auto end = line.find(' ', pos);
                fields.push_back(line.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
                pos = end;
            }
            if (fields.size() < 8 || pos == std::string::npos) continue;
            nameStart = line.find_first_not_of(' ', pos);
            if (nameStart == std::string::npos) continue;
            RemoteEntry e;
            e.name = line.substr(nameStart);
            e.isDir = first != '-';  // a link is never taken as a file
            if (first == 'l') {
                const auto arrow = e.name.find(" -> ");
                if (arrow != std::string::npos) e.name.resize(arrow);
            }
            if (AllDigits(fields[4], 19)) e.size = std::stoull(fields[4]);
            entries.push_back(std::move(e));
            continue;
        }
        // DOS: "12-08-26  01:10AM       <DIR>          name" or "... 1234 name".
        std::string date, time, sizeOrDir;
        if (!(in >> date >> time >> sizeOrDir)) continue;
        if (date.size() < 8 || !std::isdigit(static_cast<unsigned char>(date[0])) || date.find('-') == std::string::npos)
            continue;
        std::string rest;
        std::getline(in, rest);
        const auto start = rest.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        RemoteEntry e;
        e.name = rest.substr(start);
        if (sizeOrDir == "<DIR>") e.isDir = true;
        else if (AllDigits(sizeOrDir, 19)) e.size = std::stoull(sizeOrDir);
        else continue;
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace tarvik
