// Key lookup in the device's key-value configuration file.
//
// The file holds lines such as "Channel = 6". A lookup finds the first line
// that contains the key anywhere as a byte-exact substring and takes the value
// from index (key length + 3) of that line, counted from the line's first
// character, with the line ending cut off. Every lookup opens, scans and
// closes the file anew and prints what it found, so the console trace shows
// every value the program used:
//
//   len of newsub = <length of the value with its line ending>
//   Finding:"<key>": Got: "<value>"
//
// or "Can not read config.qorv" when the file cannot be opened.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace uws {

inline constexpr const char* CONFIG_PATH = "/mnt/mtd/config/config.qorv";

// Bound of one read line (199 characters plus terminator) and of every value
// buffer. A value is always shorter than the line it came from, so a buffer
// of this size holds any value a lookup can return.
inline constexpr std::size_t CONFIG_LINE_MAX = 200;

// Width of the separator between a key at the start of a line and its value
// (" = ").
inline constexpr std::size_t CONFIG_SEPARATOR_SIZE = 3;

using config_value = std::array<char, CONFIG_LINE_MAX>;

// Extracts the value of one matched line into `out` and prints the length
// line. The value starts at index key.size() + 3 of `line` (a zero-terminated
// string) and ends at its first CR or LF. A line too short to reach that index
// yields an empty value. Returns 0.
int config_extract_value(std::string_view key, const char* line,
                         std::span<char, CONFIG_LINE_MAX> out);

// Looks `key` up in CONFIG_PATH. On a match copies the zero-terminated value
// into `out` and prints the finding line; with no match or no readable file
// `out` is left untouched, so callers clear it first when they need an empty
// default. Always returns 0.
int config_lookup(std::string_view key, std::span<char, CONFIG_LINE_MAX> out);

// The same lookup in the file at `path`: the program itself only ever uses
// CONFIG_PATH.
int config_lookup_in(const char* path, std::string_view key, std::span<char, CONFIG_LINE_MAX> out);

}  // namespace uws
