#pragma once
// Reading a configuration write payload back in tests, as hex texts that name the bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pelmora::test {

inline std::string Hex(const std::uint8_t* data, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%.2X" : " %.2X", data[i]);
        text += byte;
    }
    return text;
}
inline std::string Hex(const std::vector<std::uint8_t>& bytes) { return Hex(bytes.data(), bytes.size()); }

// The elements after the two command bytes, in order, as "TT LL VV ..." texts.
inline std::vector<std::string> Elements(const std::vector<std::uint8_t>& payload) {
    std::vector<std::string> elements;
    for (std::size_t at = 2; at + 2 <= payload.size(); at += 2u + payload[at + 1])
        elements.push_back(Hex(payload.data() + at, std::min<std::size_t>(2u + payload[at + 1], payload.size() - at)));
    return elements;
}

inline int TagOf(const std::string& element) { return std::stoi(element.substr(0, 2), nullptr, 16); }

// The first element with this tag; empty when there is none.
inline std::string Element(const std::vector<std::uint8_t>& payload, int tag) {
    for (const std::string& element : Elements(payload))
        if (TagOf(element) == tag) return element;
    return {};
}

}  // namespace pelmora::test
