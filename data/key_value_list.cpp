#include "data/key_value_list.hpp"

namespace tarvik {

const std::string* KeyValueList::Find(std::string_view key) const {
    for (const auto& [k, v] : pairs) {
        if (k == key) return &v;
    }
    return nullptr;
}

std::string KeyValueList::Value(std::string_view key) const {
    const std::string* v = Find(key);
    return v ? *v : std::string();
}

void SetKeyValue(std::string_view key, std::string_view value, KeyValueList& list, bool overwrite) {
    for (auto& [k, v] : list.pairs) {
        if (k == key) {
            if (overwrite) v = value;
            return;
        }
    }
    list.pairs.emplace_back(std::string(key), std::string(value));
}

}  // namespace tarvik
