#pragma once
// The one strict JSON reader of tarvik-cli (positions for `size`, projects, catalogues): every
// value is checked for its type and range, unknown keys are refused (a misspelt key must not
// silently become a default), and texts must have a code page 1250 form. Errors name the place,
// e.g. "valves[3].Kvs: expected a number".
#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tarvik::cli {

class JsonInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Deeper documents are refused while parsing: no input of the CLI nests this far, and copying
// or walking a value nested thousands deep would exhaust the stack.
inline constexpr int kMaxJsonDepth = 64;

// Parses a whole document; malformed JSON and nesting deeper than kMaxJsonDepth throw
// JsonInputError with a one-line message (the front end says that the JSON is not valid).
nlohmann::json ParseJsonInput(const std::string& text);

// One JSON object being read, with its place for messages.
class JsonObject {
public:
    JsonObject(const nlohmann::json& j, std::string where);
    // Refuses keys outside `known`.
    void AllowOnly(std::initializer_list<const char*> known) const;

    bool Has(const char* key) const;
    std::int32_t Int(const char* key, std::int32_t def) const;
    // An integer from lo to hi.
    std::int32_t IntIn(const char* key, std::int32_t def, std::int32_t lo, std::int32_t hi) const;
    bool Bool(const char* key, bool def) const;
    double Number(const char* key, double def) const;
    std::string Text(const char* key, const std::string& def = "") const;
    // Code page 1250 bytes of a text (for texts kept as stored).
    std::string RawText(const char* key, const std::string& def = "") const;
    template <std::size_t N>
    std::array<double, N> Numbers(const char* key) const;
    template <std::size_t N>
    std::array<std::string, N> Texts(const char* key) const;
    template <std::size_t N>
    std::array<std::int32_t, N> Ints(const char* key) const;
    // The array under `key` (empty when absent).
    std::vector<nlohmann::json> Array(const char* key) const;
    JsonObject Object(const char* key) const;
    std::string Where(const char* key) const { return where_.empty() ? key : where_ + "." + key; }
    const std::string& where() const { return where_; }

private:
    const nlohmann::json* Find(const char* key) const;
    const nlohmann::json& j_;
    std::string where_;
};

[[noreturn]] void JsonFail(const std::string& where, const std::string& what);
std::int32_t JsonInt32(const nlohmann::json& v, const std::string& where);
std::uint32_t JsonUint32(const nlohmann::json& v, const std::string& where);
double JsonNumber(const nlohmann::json& v, const std::string& where);
std::string JsonText(const nlohmann::json& v, const std::string& where);
std::string JsonRawText(const nlohmann::json& v, const std::string& where);
std::string Indexed(const std::string& where, std::size_t i);

// UTF-8 of texts kept as code page 1250 bytes.
nlohmann::json RawTextJson(const std::string& bytes);

template <std::size_t N>
std::array<double, N> JsonObject::Numbers(const char* key) const {
    std::array<double, N> r{};
    const nlohmann::json* v = Find(key);
    if (!v) return r;
    if (!v->is_array() || v->size() != N) JsonFail(Where(key), "expected an array of " + std::to_string(N) + " numbers");
    for (std::size_t i = 0; i < N; ++i) r[i] = JsonNumber((*v)[i], Indexed(Where(key), i));
    return r;
}

template <std::size_t N>
std::array<std::string, N> JsonObject::Texts(const char* key) const {
    std::array<std::string, N> r{};
    const nlohmann::json* v = Find(key);
    if (!v) return r;
    if (!v->is_array() || v->size() != N) JsonFail(Where(key), "expected an array of " + std::to_string(N) + " texts");
    for (std::size_t i = 0; i < N; ++i) r[i] = JsonText((*v)[i], Indexed(Where(key), i));
    return r;
}

template <std::size_t N>
std::array<std::int32_t, N> JsonObject::Ints(const char* key) const {
    std::array<std::int32_t, N> r{};
    const nlohmann::json* v = Find(key);
    if (!v) return r;
    if (!v->is_array() || v->size() != N) JsonFail(Where(key), "expected an array of " + std::to_string(N) + " integers");
    for (std::size_t i = 0; i < N; ++i) r[i] = JsonInt32((*v)[i], Indexed(Where(key), i));
    return r;
}

}  // namespace tarvik::cli
