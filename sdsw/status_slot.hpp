// Status slots and the update flag in the switch driver's register space.
//
// Status slot n is a 20-byte record at register offset 0x40 + 20 * n, five
// little-endian 32-bit words:
//
//   0  tag       low half 1, high half the signed 16-bit event code
//   4  argument
//   8  state     1 while an update runs; its first byte is rewritten at the end
//   12 reserved  0
//   16 result
//
// The update flag is one byte at register offset 0x20, set after the slot is
// closed. Opening a slot writes it whole; closing it writes the result word,
// then the state byte, on one descriptor.
//
// A slot must lie whole below register offset 0x10000, the reach of the
// header's offset field: both slot operations refuse any other slot with the
// line "status slot <n> is outside 0..3272" and SDSW_BAD_ARGUMENT, before
// the device is opened, rather than send a header whose offset has wrapped.
#pragma once

#include <cstdint>

#include "sdsw_request.hpp"

namespace uws {

inline constexpr std::uint32_t UPDATE_FLAG_OFFSET = 0x20;
inline constexpr std::uint32_t STATUS_SLOT_BASE = 0x40;
inline constexpr std::uint32_t STATUS_SLOT_SIZE = 20;
// The last slot that lies whole below register offset 0x10000, the reach of
// the header's 16-bit offset field.
inline constexpr std::int32_t STATUS_SLOT_MAX =
    (0x10000 - STATUS_SLOT_BASE - STATUS_SLOT_SIZE) / STATUS_SLOT_SIZE;

inline constexpr std::uint32_t STATUS_SLOT_TAG = 0;
inline constexpr std::uint32_t STATUS_SLOT_ARGUMENT = 4;
inline constexpr std::uint32_t STATUS_SLOT_STATE = 8;
inline constexpr std::uint32_t STATUS_SLOT_RESERVED = 12;
inline constexpr std::uint32_t STATUS_SLOT_RESULT = 16;

inline constexpr std::uint32_t STATUS_SLOT_TAG_LOW = 1;
inline constexpr std::uint32_t STATUS_SLOT_STATE_STARTED = 1;

constexpr bool status_slot_valid(std::int32_t slot) {
    return slot >= 0 && slot <= STATUS_SLOT_MAX;
}

// Register offset of a valid slot.
constexpr std::uint32_t status_slot_offset(std::int32_t slot) {
    return STATUS_SLOT_BASE + STATUS_SLOT_SIZE * static_cast<std::uint32_t>(slot);
}

// The event code widened with its sign and moved into the upper half.
constexpr std::uint32_t status_slot_tag(std::int16_t code) {
    return (static_cast<std::uint32_t>(static_cast<std::int32_t>(code)) << 16) |
           STATUS_SLOT_TAG_LOW;
}

// Request builders: each sets the header and the payload words of one write
// request on `request` and leaves every other byte as it is.
void status_slot_fill_open(sdsw_request& request, std::int16_t code, std::int32_t argument,
                           std::int32_t slot);
void status_slot_fill_result(sdsw_request& request, std::int32_t slot, std::int32_t result);
void status_slot_fill_state(sdsw_request& request, std::int32_t slot, std::uint8_t state);
void update_flag_fill(sdsw_request& request, std::int32_t value);

// Writes slot `slot` whole: tag from `code`, `argument`, state 1, reserved 0,
// result 0.
int status_slot_open(std::int16_t code, std::int32_t argument, std::int32_t slot);

// Writes the slot's result word, then the first byte of its state word; the
// state write is issued even when the driver rejects the result write.
int status_slot_close(std::int32_t slot, std::uint8_t state, std::int32_t result);

// Writes the low byte of `value` to the update flag.
int update_flag_set(std::int32_t value);

}  // namespace uws
