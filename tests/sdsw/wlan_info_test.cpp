// Filling the WLAN block and choosing its channel byte.
#include "wlan_info.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "expected_bytes.hpp"
#include "hex.hpp"

namespace uws {
namespace {

using test::block_bytes;
using test::patch;
static_assert(test::BLOCK_SIZE == WLAN_INFO_SIZE);

struct channel_case {
    const char* text;
    std::uint8_t channel;
};

// clang-format off
const channel_case CHANNEL_CASES[] = {
    // Integers from 0 to 13 are the channel, whatever their sign, zeros or blanks.
    {"6", 6}, {"1", 1}, {"13", 13}, {"0", 0}, {"-0", 0}, {"+7", 7}, {"0013", 13}, {" \t6\t ", 6},
    // Other integers, of any size, give 6.
    {"14", 6}, {"-1", 6}, {"255", 6}, {"256", 6},
    {"99999999999999999999999", 6}, {"-99999999999999999999999", 6},
    // No usable value gives 11.
    {"", 11}, {" \t ", 11}, {"auto", 11}, {"6a", 11}, {"0x6", 11}, {"6 7", 11},
    {"+", 11}, {"-", 11}, {"+-6", 11}, {"6.0", 11}, {"\"6\"", 11}, {"= 6", 11},
};
// clang-format on

TEST(wlan_channel_from_text, configured_value_or_fallback) {
    for (const channel_case& c : CHANNEL_CASES) {
        EXPECT_EQ(wlan_channel_from_text(c.text), c.channel) << "value \"" << c.text << "\"";
    }
}

// An old block whose every byte is distinct and non-zero, so a byte that is
// written, or left alone, shows.
block_bytes old_block() {
    block_bytes block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(0x80 + i);
    }
    return block;
}

constexpr hw_address ADDRESS = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST(wlan_info_fill, shorter_name_over_longer_old_name_keeps_old_tail) {
    block_bytes block = old_block();
    patch(block, 2, std::string_view("oldname8"));
    const block_bytes expected = test::expected_block(block, "short", 0, 11, ADDRESS);

    wlan_info_fill(block, "short", 0, 11, ADDRESS);

    EXPECT_EQ(test::hex(block), test::hex(expected));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[2]), 8), "shortme8");
}

TEST(wlan_info_fill, empty_name_leaves_name_field_as_read) {
    block_bytes block = old_block();
    const block_bytes expected = test::expected_block(block, "", 0x5A, 6, ADDRESS);

    wlan_info_fill(block, "", 0x5A, 6, ADDRESS);

    EXPECT_EQ(test::hex(block), test::hex(expected));
}

TEST(wlan_info_fill, long_name_is_cut_at_its_32_byte_field) {
    const std::string name(40, 'N');
    block_bytes block = old_block();
    const block_bytes expected = test::expected_block(block, name, 0, 11, ADDRESS);

    wlan_info_fill(block, name, 0, 11, ADDRESS);

    EXPECT_EQ(test::hex(block), test::hex(expected));
}

TEST(wlan_info_fill, name_of_199_bytes_touches_nothing_past_the_field) {
    const std::string name(199, '\xEE');
    std::array<std::uint8_t, SDSW_DATA_SIZE> payload{};
    payload.fill(0x11);

    wlan_info_fill(std::span(payload).first<WLAN_INFO_SIZE>(), name, 0, 11, ADDRESS);

    for (std::size_t i = 34; i < payload.size(); ++i) {
        EXPECT_NE(payload[i], 0xEE) << "name byte at payload offset " << i;
    }
}

}  // namespace
}  // namespace uws
