#include "data/number_text.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarvik {

DecimalSeparators LocaleDecimalSeparator() {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", 1.25);
    for (const char* p = buf; *p; ++p)
        if (*p == '.') return {'.', ','};
    return {',', '.'};
}

double ParseNumber(const std::string& text) {
    const DecimalSeparators sep = LocaleDecimalSeparator();
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    // Take the longest prefix that reads as a decimal number: [sign] digits [sep digits] [e [sign] digits].
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { number += text[i++]; ++digits; }
    if (i < text.size() && (text[i] == sep.locale || text[i] == sep.foreign)) {
        number += sep.locale;
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { number += text[i++]; ++digits; }
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        std::size_t expDigits = 0;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) { exponent += text[j++]; ++expDigits; }
        if (expDigits > 0) number += exponent;
    }
    double v = std::strtod(number.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

bool NormaliseDecimalSeparators(std::string& text) {
    const DecimalSeparators sep = LocaleDecimalSeparator();
    bool changed = false;
    for (char& c : text)
        if (c == sep.foreign) { c = sep.locale; changed = true; }
    return changed;
}

void NormaliseDecimalSeparators(std::vector<std::string*>& texts) {
    for (std::string* t : texts)
        if (t) NormaliseDecimalSeparators(*t);
}

std::string FormatNumber(double value, int decimals) {
    char buf[512];
    if (decimals > 0) {
        if (decimals > 40) decimals = 40;
        std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    } else {
        std::snprintf(buf, sizeof buf, "%.10g", value);
    }
    std::string text = buf;
    const char sep = LocaleDecimalSeparator().locale;
    if (text.find(sep) == std::string::npos) return text;
    std::string mantissa = text, exponent;
    auto e = text.find_first_of("eE");
    if (e != std::string::npos) {
        mantissa = text.substr(0, e);
        exponent = text.substr(e);
    }
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == sep) mantissa.pop_back();
    if (!exponent.empty()) {
        std::string out(1, exponent[0]);
        std::size_t k = 1;
        if (k < exponent.size() && (exponent[k] == '+' || exponent[k] == '-')) out += exponent[k++];
        while (k + 1 < exponent.size() && exponent[k] == '0') ++k;
        out += exponent.substr(k);
        exponent = out;
    }
    return mantissa + exponent;
}

std::string NominalSizeText(const std::string& rating, double size) {
    if (rating.find("PN") != std::string::npos) return "DN" + FormatNumber(size, 0);
    struct Fixed { double size; const char* text; };
    static const Fixed table[] = {{15, "1/2"},   {20, "3/4"}, {25, "1"},     {32, "1.1/4"},
                                  {40, "1.1/2"}, {50, "2"},   {65, "2.1/2"}, {80, "3"}};
    for (const auto& f : table)
        if (size == f.size) return std::string(f.text) + "\"";
    if (size > 80) {
        double inches = std::trunc(size / 25.0);
        return FormatNumber(inches, 3) + "\"";
    }
    return "";
}

}  // namespace tarvik
