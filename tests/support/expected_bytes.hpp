// Expected bytes and text, spelled out by offset and written independently of
// the program's own builders and formatter.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace uws::test {

inline constexpr std::size_t BLOCK_SIZE = 95;
using block_bytes = std::array<std::uint8_t, BLOCK_SIZE>;
using address_bytes = std::array<std::uint8_t, 6>;

template <typename Bytes>
void patch(Bytes& bytes, std::size_t at, std::initializer_list<std::uint8_t> values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

template <typename Bytes>
void patch(Bytes& bytes, std::size_t at, std::string_view text) {
    std::memcpy(bytes.data() + at, text.data(), text.size());
}

// The WLAN block after a refresh of `old`: the name's first 32 bytes from
// offset 2, then mode, 0 and channel at 34..36, the address at 42..47 and
// the four IPv4 values at 74..89; every other byte as it was.
inline block_bytes expected_block(block_bytes block, std::string_view name, std::uint8_t mode,
                                  std::uint8_t channel, const address_bytes& address) {
    patch(block, 0, {0x30});
    patch(block, 2, name.substr(0, 32));
    patch(block, 34, {mode, 0x00, channel});
    std::copy(address.begin(), address.end(), block.begin() + 42);
    patch(block, 74,
          {0xC0, 0xA8, 0x01, 0x01, 0xFF, 0xFF, 0xFF, 0x00,  //
           0xC0, 0xA8, 0x01, 0x01, 0xC0, 0xA8, 0x01, 0x01});
    return block;
}

// The dump text: two banners around rows of 16 "XX " bytes, each row but the
// first introduced on a new line by its lower-case four-digit offset.
inline std::string dump_text(std::span<const std::uint8_t> bytes) {
    const std::string banner(53, '=');
    std::string text = "\n" + banner + "\n";
    std::size_t row = 0;
    do {
        char label[24];
        std::snprintf(label, sizeof label, "%04zx: ", row);
        text += (row == 0 ? "" : "\n") + std::string(label);
        for (std::size_t i = row; i < std::min(row + 16, bytes.size()); ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned>(bytes[i]));
            text += byte;
        }
        row += 16;
    } while (row < bytes.size());
    return text + "\n" + banner + "\n";
}

}  // namespace uws::test
