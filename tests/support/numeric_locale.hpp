#pragma once
// Switches the numeric locale for the lifetime of the object. Tests that compare formatted
// number texts pin "C"; tests of the decimal comma use "cs_CZ.UTF-8".
#include <clocale>
#include <string>

namespace tarvik::test {

class NumericLocale {
public:
    explicit NumericLocale(const char* name) : old_(std::setlocale(LC_NUMERIC, nullptr)) {
        ok_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, old_.c_str()); }
    NumericLocale(const NumericLocale&) = delete;
    NumericLocale& operator=(const NumericLocale&) = delete;
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

}  // namespace tarvik::test
