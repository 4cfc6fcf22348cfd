// The hex dump the program prints of the request carrying the WLAN block.
//
// Layout: a newline, a banner of 53 '=' and a newline, then rows of 16 bytes
// as "%02X " each, every row but the first introduced by "\n%04x: " with its
// byte offset (the first row by "0000: "), then a newline and the banner as a
// line. Every row ends with a space; a dump of 0 bytes is the two banners
// around an empty "0000: " row.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

namespace uws {

inline constexpr std::size_t HEX_DUMP_ROW_BYTES = 16;

void hex_dump(std::FILE* out, std::span<const std::uint8_t> bytes);

}  // namespace uws
