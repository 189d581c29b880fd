#pragma once
// Numbers as text, independent of the user's decimal separator ("," or ".").
#include <string>
#include <vector>

namespace tarvik {

struct DecimalSeparators {
    char locale;   // the separator of the current C locale
    char foreign;  // the other one
};

// Determined afresh on every call, so a change of the process locale is honoured.
DecimalSeparators LocaleDecimalSeparator();

// Accepts either separator; leading blanks are skipped, conversion stops at the first
// character that cannot continue a number, a text that does not start with one gives 0.
// Never returns NaN or infinity (such texts give 0).
double ParseNumber(const std::string& text);

// Replaces every foreign separator by the locale's; returns true when the text changed.
bool NormaliseDecimalSeparators(std::string& text);
void NormaliseDecimalSeparators(std::vector<std::string*>& texts);

// decimals > 0: fixed with that many decimals; 0: up to 10 significant digits.
// Trailing zeros (and a trailing separator) are removed, exponent digits lose leading zeros.
std::string FormatNumber(double value, int decimals);

// "DN50" when the rating text contains "PN", else the size in inches ("2\"", "1.1/2\"", "4\"").
std::string NominalSizeText(const std::string& rating, double size);

}  // namespace tarvik
