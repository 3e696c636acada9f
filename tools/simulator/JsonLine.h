#pragma once
// One JSON object built field by field, for the log's one-line records.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora {

// A quoted JSON string. Invalid UTF-8 bytes become U+FFFD, so every line stays valid JSON.
std::string JsonQuote(const std::string& text);
std::string HexBytes(const std::uint8_t* data, std::size_t size);  // lower case, no separators

class JsonObject {
public:
    JsonObject& AddText(const char* key, const std::string& value);
    JsonObject& AddNumber(const char* key, std::int64_t value);
    JsonObject& AddBool(const char* key, bool value);
    JsonObject& AddFixed(const char* key, double value, int decimals);
    JsonObject& AddRaw(const char* key, const std::string& json);  // value already JSON
    JsonObject& Merge(const JsonObject& other);                    // other's fields after ours
    bool Empty() const { return m_body.empty(); }
    std::string Text() const { return "{" + m_body + "}"; }

private:
    void Key(const char* key);
    std::string m_body;
};

}  // namespace pelmora
