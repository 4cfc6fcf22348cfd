// The switch driver's request record and the one way the program talks to it.
//
// Every register access is one `sdsw_request` handed to "/dev/ka_sdsw" with
// request code SDSW_REG_ACCESS (53). The header says what to do:
//
//   bit 31      SDSW_WRITE: 1 = copy the first `count` payload bytes into the
//               register space, 0 = copy `count` register bytes into the payload
//   bits 16-30  count
//   bits 0-15   register offset of payload byte 0
//
// The header is a native 32-bit word, as the driver reads it. Payload words
// are stored little-endian byte by byte, because the register space is
// defined in bytes; the record is then the same on any processor.
//
// A register operation opens the device, issues its requests on one
// zero-filled record and closes the device again (`sdsw_transfer`). A failed
// open prints "error opening /dev/ka_sdsw to  control switch driver " and
// issues nothing; a rejected request prints
// "error sending request 0x<header> to /dev/ka_sdsw". Either makes the
// operation return a negative status; callers may ignore it, since the line
// has been printed already.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "unique_fd.hpp"

namespace uws {

inline constexpr const char* SDSW_DEVICE_PATH = "/dev/ka_sdsw";
inline constexpr unsigned long SDSW_REG_ACCESS = 53;
inline constexpr std::uint32_t SDSW_WRITE = 0x80000000U;
inline constexpr std::size_t SDSW_DATA_SIZE = 1024;

// Statuses of a register operation.
inline constexpr int SDSW_OK = 0;
inline constexpr int SDSW_OPEN_FAILED = -1;
inline constexpr int SDSW_REQUEST_REJECTED = -2;
inline constexpr int SDSW_BAD_ARGUMENT = -3;

struct sdsw_request {
    std::uint32_t header;
    std::uint32_t reserved;
    std::array<std::uint8_t, SDSW_DATA_SIZE> data;
};
static_assert(sizeof(sdsw_request) == 1032);
static_assert(offsetof(sdsw_request, header) == 0);
static_assert(offsetof(sdsw_request, reserved) == 4);
static_assert(offsetof(sdsw_request, data) == 8);

enum class sdsw_direction : std::uint32_t { read = 0, write = SDSW_WRITE };

// Builds a header; count and offset are cut to their 15 and 16 bits, so
// neither can spill into the fields above it.
constexpr std::uint32_t sdsw_header(sdsw_direction direction, std::uint32_t count,
                                    std::uint32_t offset) {
    return static_cast<std::uint32_t>(direction) | ((count & 0x7FFFU) << 16) | (offset & 0xFFFFU);
}

// Stores `value` as a little-endian 32-bit word at payload byte `at`.
constexpr void sdsw_store_word(sdsw_request& request, std::size_t at, std::uint32_t value) {
    for (std::uint8_t& byte : std::span(request.data).subspan(at, 4)) {
        byte = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

// The record as the bytes handed to the driver.
std::span<const std::uint8_t, sizeof(sdsw_request)> sdsw_request_bytes(const sdsw_request& request);

// The open device for the length of one register operation.
class sdsw_device {
public:
    // Opens SDSW_DEVICE_PATH read-write; prints the failure line if it cannot.
    sdsw_device();

    [[nodiscard]] bool is_open() const { return fd_.is_open(); }

    // Hands `request` to the driver. Returns SDSW_OK, or SDSW_REQUEST_REJECTED
    // after printing the failure line with the request's header.
    int issue(sdsw_request& request) const;

private:
    unique_fd fd_;
};

// Carries out one register operation: opens the device, passes it and a
// zero-filled record to `requests` (which sets fields and issues requests in
// order) and closes the device. Returns SDSW_OPEN_FAILED if the device cannot
// be opened, else what `requests` returns.
template <typename Requests>
int sdsw_transfer(Requests&& requests) {
    const sdsw_device device;
    if (!device.is_open()) {
        return SDSW_OPEN_FAILED;
    }
    sdsw_request request{};
    return requests(device, request);
}

// The first failure of two requests of one operation, else SDSW_OK.
constexpr int sdsw_first_failure(int first, int second) {
    return first != SDSW_OK ? first : second;
}

}  // namespace uws
