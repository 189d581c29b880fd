#include "cli/catalogue_json.hpp"

#include <algorithm>
#include <cmath>

#include "data/cp1250.hpp"

namespace tarvik::cli {

void JsonFail(const std::string& where, const std::string& what) {
    throw CatalogueJsonError((where.empty() ? std::string("top level") : where) + ": " + what);
}

std::string Indexed(const std::string& where, std::size_t i) { return where + "[" + std::to_string(i) + "]"; }

std::int32_t JsonInt32(const nlohmann::json& v, const std::string& where) {
    if (v.is_number_integer()) {
        if (v.is_number_unsigned()) {
            const auto u = v.get<std::uint64_t>();
            if (u <= 0x7FFFFFFFu) return static_cast<std::int32_t>(u);
        } else {
            const auto i = v.get<std::int64_t>();
            if (i >= INT32_MIN && i <= INT32_MAX) return static_cast<std::int32_t>(i);
        }
        JsonFail(where, "integer out of the 32-bit range");
    }
    JsonFail(where, "expected an integer");
}

double JsonNumber(const nlohmann::json& v, const std::string& where) {
    if (!v.is_number()) JsonFail(where, "expected a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) JsonFail(where, "number out of range");
    return d;
}

std::string JsonText(const nlohmann::json& v, const std::string& where) {
    if (!v.is_string()) JsonFail(where, "expected a text");
    const std::string t = v.get<std::string>();
    bool lossy = false;
    Utf8ToCp1250(t, &lossy);
    if (lossy) JsonFail(where, "text has characters that code page 1250 cannot store");
    return t;
}

std::string JsonRawText(const nlohmann::json& v, const std::string& where) {
    return Utf8ToCp1250(JsonText(v, where));
}

nlohmann::json RawTextJson(const std::string& bytes) { return Cp1250ToUtf8(bytes); }

JsonObject::JsonObject(const nlohmann::json& j, std::string where) : j_(j), where_(std::move(where)) {
    if (!j_.is_object()) JsonFail(where_, "expected an object");
}

void JsonObject::AllowOnly(std::initializer_list<const char*> known) const {
    for (const auto& item : j_.items()) {
        const bool ok = std::any_of(known.begin(), known.end(), [&](const char* k) { return item.key() == k; });
        if (!ok) JsonFail(Where(item.key().c_str()), "unknown key");
    }
}

const nlohmann::json* JsonObject::Find(const char* key) const {
    auto it = j_.find(key);
    return it == j_.end() ? nullptr : &*it;
}

bool JsonObject::Has(const char* key) const { return Find(key) != nullptr; }

std::int32_t JsonObject::Int(const char* key, std::int32_t def) const {
    const nlohmann::json* v = Find(key);
    return v ? JsonInt32(*v, Where(key)) : def;
}

double JsonObject::Number(const char* key, double def) const {
    const nlohmann::json* v = Find(key);
    return v ? JsonNumber(*v, Where(key)) : def;
}

std::string JsonObject::Text(const char* key, const std::string& def) const {
    const nlohmann::json* v = Find(key);
    return v ? JsonText(*v, Where(key)) : def;
}

std::string JsonObject::RawText(const char* key, const std::string& def) const {
    const nlohmann::json* v = Find(key);
    return v ? JsonRawText(*v, Where(key)) : def;
}

std::vector<nlohmann::json> JsonObject::Array(const char* key) const {
    const nlohmann::json* v = Find(key);
    if (!v) return {};
    if (!v->is_array()) JsonFail(Where(key), "expected an array");
    return std::vector<nlohmann::json>(v->begin(), v->end());
}

JsonObject JsonObject::Object(const char* key) const {
    static const nlohmann::json empty = nlohmann::json::object();
    const nlohmann::json* v = Find(key);
    return JsonObject(v ? *v : empty, Where(key));
}

}  // namespace tarvik::cli
