#pragma once
// Named texts with unique, case-sensitive keys in insertion order (the title block of a position).
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

struct KeyValueList {
    std::vector<std::pair<std::string, std::string>> pairs;

    // The value of `key`, nullptr when absent.
    const std::string* Find(std::string_view key) const;
    // The value of `key`, "" when absent.
    std::string Value(std::string_view key) const;
};

// Appends the pair when the key is absent; replaces the value of a present key only when
// `overwrite` is set.
void SetKeyValue(std::string_view key, std::string_view value, KeyValueList& list, bool overwrite);

}  // namespace tarvik
