// The WLAN information block: 95 bytes at register offset 0x106 describing
// the device's wireless network.
//
// `wlan_info_publish` reads the block, overwrites the fields the program owns
// and writes it back, so every other byte keeps what the driver held. Owned
// fields (block offsets):
//
//   0      0x30 ('0')
//   2..33  network name, without terminator; bytes past the name keep their
//          values, and a name longer than the field is cut at 32 bytes
//   34     mode
//   35     0
//   36     channel number (a number, not a character)
//   42..47 hardware address of "uap0", first byte first
//   74..89 four IPv4 values, first octet first: 192.168.1.1, 255.255.255.0,
//          192.168.1.1, 192.168.1.1
//
// Bytes 1, 37..41, 48..73 and 90..94 are never written by the program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sdsw_request.hpp"

namespace uws {

inline constexpr std::uint32_t WLAN_INFO_OFFSET = 0x106;
inline constexpr std::size_t WLAN_INFO_SIZE = 95;
static_assert(WLAN_INFO_SIZE <= SDSW_DATA_SIZE);

inline constexpr const char* WLAN_INTERFACE = "uap0";
inline constexpr const char* WLAN_CHANNEL_KEY = "Channel";

inline constexpr std::size_t WLAN_MARKER = 0;
inline constexpr std::size_t WLAN_NAME = 2;
inline constexpr std::size_t WLAN_NAME_SIZE = 32;
inline constexpr std::size_t WLAN_MODE = 34;
inline constexpr std::size_t WLAN_MODE_PAD = 35;
inline constexpr std::size_t WLAN_CHANNEL = 36;
inline constexpr std::size_t WLAN_HW_ADDRESS = 42;
inline constexpr std::size_t WLAN_IPV4 = 74;
static_assert(WLAN_NAME + WLAN_NAME_SIZE == WLAN_MODE);

inline constexpr std::uint8_t WLAN_MARKER_VALUE = 0x30;

// Channel rules: a configured integer outside 0..13 becomes 6; no usable
// configured value at all means 11.
inline constexpr std::uint8_t WLAN_CHANNEL_MAX = 13;
inline constexpr std::uint8_t WLAN_CHANNEL_OUT_OF_RANGE = 6;
inline constexpr std::uint8_t WLAN_CHANNEL_DEFAULT = 11;

using hw_address = std::array<std::uint8_t, 6>;
using ipv4_octets = std::array<std::uint8_t, 4>;

// The four IPv4 values, in block order from WLAN_IPV4 on.
inline constexpr std::array<ipv4_octets, 4> WLAN_IPV4_VALUES = {{
    {192, 168, 1, 1},
    {255, 255, 255, 0},
    {192, 168, 1, 1},
    {192, 168, 1, 1},
}};
static_assert(WLAN_IPV4 + sizeof(WLAN_IPV4_VALUES) <= WLAN_INFO_SIZE);
static_assert(WLAN_HW_ADDRESS + sizeof(hw_address) <= WLAN_IPV4);

inline constexpr std::uint32_t WLAN_INFO_READ_HEADER =
    sdsw_header(sdsw_direction::read, WLAN_INFO_SIZE, WLAN_INFO_OFFSET);
inline constexpr std::uint32_t WLAN_INFO_WRITE_HEADER =
    sdsw_header(sdsw_direction::write, WLAN_INFO_SIZE, WLAN_INFO_OFFSET);
static_assert(WLAN_INFO_READ_HEADER == 0x005F0106U);
static_assert(WLAN_INFO_WRITE_HEADER == 0x805F0106U);

// The channel for a configured "Channel" value. Spaces and tabs around the
// value are ignored; what remains must be an optional sign and one or more
// decimal digits. Such a number outside 0..13 gives 6; an empty or malformed
// value ("auto", "6a", "0x6", "6 7") gives 11.
std::uint8_t wlan_channel_from_text(std::string_view text);

// Overwrites the owned fields of `block`; every other byte is left as it is.
void wlan_info_fill(std::span<std::uint8_t, WLAN_INFO_SIZE> block, std::string_view name,
                    std::uint8_t mode, std::uint8_t channel, const hw_address& address);

// The hardware address of interface `name`; all zero when the interface
// cannot be asked (no socket, no such interface).
hw_address interface_hw_address(const char* name);

// Refreshes the block: asks "uap0" for its address, looks up "Channel", reads
// the block, fills it, prints the hex dump of the whole request and writes it
// back on the same descriptor. If the read is rejected, nothing is dumped or
// written back. Returns SDSW_OK or a negative status.
int wlan_info_publish(std::string_view name, std::uint8_t mode);

}  // namespace uws
