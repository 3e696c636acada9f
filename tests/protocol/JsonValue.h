#pragma once
// A strict JSON reader for tests: what the scanner prints and what the simulator logs are read back by
// code that shares nothing with the code that wrote them.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // in document order

    // The member with this key, or null when it is absent or this is no object.
    const JsonValue* Find(const std::string& key) const;
    std::string TextOf(const std::string& key) const;  // empty when absent or not a string
};

// Nothing when the text is not exactly one JSON value (surrounding white space allowed).
std::optional<JsonValue> ParseJson(const std::string& text);

}  // namespace pelmora::test
