// Fuzzes the WLAN block fill with arbitrary names, modes, channel texts,
// addresses and old block contents. Checks that the owned fields hold what
// they should, that no other byte of the block changes, that nothing past
// the 95-byte block changes (the write request sends 95 bytes), and that the
// channel follows its rules.
//
// Input: mode, address (6 bytes), channel text length, channel text, name
// length, name, then the old block (95 bytes, zeros where the input ends).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "expected_bytes.hpp"
#include "wlan_info.hpp"

namespace {

static_assert(((uws::WLAN_INFO_WRITE_HEADER >> 16) & 0x7FFFU) == uws::WLAN_INFO_SIZE);

void fail(const char* what) {
    std::fprintf(stderr, "wlan_info_fill_fuzzer: %s\n", what);
    std::abort();
}

class reader {
public:
    reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view text(std::size_t length) {
        length = std::min(length, size_ - at_);
        const std::string_view taken(reinterpret_cast<const char*>(data_) + at_, length);
        at_ += length;
        return taken;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The channel rules restated: trimmed of spaces and tabs, an optional sign
// and digits form an integer; 0..13 is the channel, other integers 6,
// anything else 11.
std::uint8_t reference_channel(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return 11;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return 11;
    }
    text.remove_prefix(std::min(text.find_first_not_of('0'), text.size()));
    if (text.empty()) {
        return 0;
    }
    if (negative || text.size() > 2) {
        return 6;
    }
    const int value = std::stoi(std::string(text));
    return value <= 13 ? static_cast<std::uint8_t>(value) : 6;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader in(data, size);
    const std::uint8_t mode = in.byte();
    uws::hw_address address{};
    for (std::uint8_t& byte : address) {
        byte = in.byte();
    }
    const std::string_view channel_text = in.text(in.byte());
    const std::string_view name = in.text(in.byte());

    std::array<std::uint8_t, uws::SDSW_DATA_SIZE> payload{};
    payload.fill(0xCD);
    for (std::size_t i = 0; i < uws::WLAN_INFO_SIZE; ++i) {
        payload[i] = in.byte();
    }
    const auto before = payload;

    const std::uint8_t channel = uws::wlan_channel_from_text(channel_text);
    if (channel != reference_channel(channel_text)) {
        fail("channel differs from the channel rules");
    }
    uws::wlan_info_fill(std::span(payload).first<uws::WLAN_INFO_SIZE>(), name, mode, channel,
                        address);

    uws::test::block_bytes old_block{};
    std::copy_n(before.begin(), old_block.size(), old_block.begin());
    const uws::test::block_bytes expected =
        uws::test::expected_block(old_block, name, mode, channel, address);

    if (!std::equal(payload.begin() + uws::WLAN_INFO_SIZE, payload.end(),
                    before.begin() + uws::WLAN_INFO_SIZE)) {
        fail("a byte past the block changed");
    }
    if (!std::equal(expected.begin(), expected.end(), payload.begin())) {
        fail("the block differs from its owned fields over the old bytes");
    }
    return 0;
}
