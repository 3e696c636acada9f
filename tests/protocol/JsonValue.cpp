#include "tests/protocol/JsonValue.h"

#include <cmath>
#include <cstdlib>

namespace pelmora::test {

namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : m_text(text) {}

    bool Document(JsonValue& value) {
        SkipSpace();
        if (!Value(value, 0)) return false;
        SkipSpace();
        return m_pos == m_text.size();
    }

private:
    static constexpr int MAX_DEPTH = 64;

    void SkipSpace() {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool Take(char c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0) return false;
        m_pos += w.size();
        return true;
    }

    bool Value(JsonValue& v, int depth) {
        if (depth > MAX_DEPTH || m_pos >= m_text.size()) return false;
        const char c = m_text[m_pos];
        if (c == '{') return Object(v, depth);
        if (c == '[') return Array(v, depth);
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            return String(v.text);
        }
        if (Word("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = true;
            return true;
        }
        if (Word("false")) {
            v.kind = JsonValue::Kind::Bool;
            return true;
        }
        if (Word("null")) return true;
        return Number(v);
    }

    bool Object(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Object;
        ++m_pos;
        SkipSpace();
        if (Take('}')) return true;
        for (;;) {
            SkipSpace();
            std::string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !String(key)) return false;
            SkipSpace();
            if (!Take(':')) return false;
            SkipSpace();
            JsonValue member;
            if (!Value(member, depth + 1)) return false;
            v.members.emplace_back(std::move(key), std::move(member));
            SkipSpace();
            if (Take('}')) return true;
            if (!Take(',')) return false;
        }
    }

    bool Array(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Array;
        ++m_pos;
        SkipSpace();
        if (Take(']')) return true;
        for (;;) {
            SkipSpace();
            JsonValue item;
            if (!Value(item, depth + 1)) return false;
            v.items.push_back(std::move(item));
            SkipSpace();
            if (Take(']')) return true;
            if (!Take(',')) return false;
        }
    }

    bool Hex4(unsigned& out) {
        if (m_text.size() - m_pos < 4) return false;
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            unsigned d;
            if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
            else return false;
            out = out * 16 + d;
        }
        return true;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool String(std::string& out) {
        ++m_pos;  // the opening quote
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') return true;
            if (c < 0x20) return false;  // control characters must be escaped
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_pos >= m_text.size()) return false;
            const char e = m_text[m_pos++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        unsigned low = 0;
                        if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp < 0xE000) {
                        return false;
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: return false;
            }
        }
        return false;
    }

    bool Number(JsonValue& v) {
        const std::size_t start = m_pos;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits()) return false;
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return false;
        }
        v.kind = JsonValue::Kind::Number;
        v.number = std::strtod(m_text.substr(start, m_pos - start).c_str(), nullptr);
        return std::isfinite(v.number);
    }
    bool Digits() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
        return m_pos > start;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

std::string JsonValue::TextOf(const std::string& key) const {
    const JsonValue* v = Find(key);
    return v != nullptr && v->kind == Kind::String ? v->text : std::string();
}

std::optional<JsonValue> ParseJson(const std::string& text) {
    JsonValue value;
    if (!Reader(text).Document(value)) return std::nullopt;
    return value;
}

}  // namespace pelmora::test
