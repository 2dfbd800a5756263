#pragma once
// Reading the JSON answers of the music services: every field is checked for its kind before it
// is used, since any server (or anything in between) may send anything.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

namespace service_json {

using nlohmann::json;

/// The User-Agent of requests to open services: the program and its version.
inline std::string userAgent() {
    return std::string("Cantorel/") + CANTOREL_VERSION + " (lyric subtitles for voice-chat rooms)";
}

/// `value` parsed, or nullopt when it is no JSON (the parser's exceptions stop here).
inline std::optional<json> parse(std::string_view text) {
    try {
        return json::parse(text);
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

/// The string at `key` of an object; empty when there is none or it is no string.
inline std::string text(const json& object, const char* key) {
    if (!object.is_object()) return {};
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

/// The member `key` of an object, or null.
inline const json* member(const json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

/// A whole number at `key` as the server wrote it (digits only, so it can go into an address);
/// empty when it is missing, negative or no whole number.
inline std::string idText(const json& object, const char* key) {
    const json* value = member(object, key);
    if (!value || !value->is_number_unsigned()) return {};
    return value->dump();
}

/// A whole number at `key` between 0 and `max`; 0 otherwise.
inline long long count(const json& object, const char* key, long long max) {
    const json* value = member(object, key);
    if (!value) return 0;
    if (value->is_number_unsigned()) {
        const auto n = value->get<std::uint64_t>();
        return n <= static_cast<std::uint64_t>(max) ? static_cast<long long>(n) : 0;
    }
    if (value->is_number_float()) {
        const double n = value->get<double>();
        return n >= 0 && n <= static_cast<double>(max) ? static_cast<long long>(n) : 0;
    }
    return 0;
}

/// The names of an array of {"name": ...} objects, joined by "/".
inline std::string names(const json* list) {
    std::string joined;
    if (!list || !list->is_array()) return joined;
    for (const json& entry : *list) {
        const std::string name = text(entry, "name");
        if (name.empty()) continue;
        if (!joined.empty()) joined += '/';
        joined += name;
    }
    return joined;
}

}  // namespace service_json
