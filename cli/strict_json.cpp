#include "cli/strict_json.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/cp1250.hpp"

namespace tarvik::cli {

namespace {

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

template <class Int>
Int JsonInteger(const nlohmann::json& v, const std::string& where) {
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(std::numeric_limits<Int>::max())) return static_cast<Int>(u);
    } else if (v.is_number_integer()) {
        const auto i = v.get<std::int64_t>();
        if (i >= static_cast<std::int64_t>(std::numeric_limits<Int>::min()) &&
            i <= static_cast<std::int64_t>(std::numeric_limits<Int>::max()))
            return static_cast<Int>(i);
    } else {
        JsonFail(where, "expected an integer");
    }
    JsonFail(where, "integer out of the 32-bit range");
}

}  // namespace

nlohmann::json ParseJsonInput(const std::string& text) {
    // The parser keeps its own stack; the limit protects the code that copies and walks the value.
    using Event = nlohmann::json::parse_event_t;
    const nlohmann::json::parser_callback_t limit = [](int depth, Event event, nlohmann::json&) {
        // `depth` counts the containers around the one that starts.
        if ((event == Event::object_start || event == Event::array_start) && depth >= kMaxJsonDepth)
            throw JsonInputError("nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        return true;
    };
    try {
        return nlohmann::json::parse(text, limit);
    } catch (const nlohmann::json::exception& e) {
        throw JsonInputError(OneLine(e.what()));
    }
}

void JsonFail(const std::string& where, const std::string& what) {
    throw JsonInputError((where.empty() ? std::string("top level") : where) + ": " + what);
}

std::string Indexed(const std::string& where, std::size_t i) { return where + "[" + std::to_string(i) + "]"; }

std::int32_t JsonInt32(const nlohmann::json& v, const std::string& where) {
    return JsonInteger<std::int32_t>(v, where);
}

std::uint32_t JsonUint32(const nlohmann::json& v, const std::string& where) {
    return JsonInteger<std::uint32_t>(v, where);
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

std::int32_t JsonObject::IntIn(const char* key, std::int32_t def, std::int32_t lo, std::int32_t hi) const {
    const nlohmann::json* v = Find(key);
    if (!v) return def;
    const std::int32_t i = JsonInt32(*v, Where(key));
    if (i < lo || i > hi) JsonFail(Where(key), "expected an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    return i;
}

bool JsonObject::Bool(const char* key, bool def) const {
    const nlohmann::json* v = Find(key);
    if (!v) return def;
    if (!v->is_boolean()) JsonFail(Where(key), "expected true or false");
    return v->get<bool>();
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
