// What the emulated driver (sdsw_emulator) and the end-to-end tests share:
// its register space, the entries of its request log and its exit statuses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace uws::test {

inline constexpr std::size_t REGISTER_SPACE_SIZE = 0x10000;
using register_image = std::array<std::uint8_t, REGISTER_SPACE_SIZE>;

inline constexpr std::size_t REQUEST_RECORD_SIZE = 1032;
inline constexpr std::size_t WLAN_BLOCK_OFFSET = 0x106;

// One entry of requests.bin: the request code, the driver's answer and errno
// as native 32-bit words, then the record as the driver received it.
struct request_entry {
    std::uint32_t code;
    std::int32_t answer;
    std::int32_t error;
    std::array<std::uint8_t, REQUEST_RECORD_SIZE> record;
};
static_assert(sizeof(request_entry) == 12 + REQUEST_RECORD_SIZE);

// The emulator's exit status when the private set-up (namespaces, /mnt, uap0)
// cannot be had; the reason is in the work directory's file "setup-error".
inline constexpr int EXIT_NO_PRIVATE_SETUP = 77;

}  // namespace uws::test
