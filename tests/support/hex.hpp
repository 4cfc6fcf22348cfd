// Hex text of a byte range, so a failed comparison shows both sides' bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace uws::test {

inline std::string hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>(bytes[i]));
        text += byte;
        text += (i % 16 == 15) ? '\n' : ' ';
    }
    return text;
}

}  // namespace uws::test
