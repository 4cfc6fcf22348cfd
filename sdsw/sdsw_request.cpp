// The device edge: open, request, close.
#include "sdsw_request.hpp"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <cstdio>

namespace uws {

std::span<const std::uint8_t, sizeof(sdsw_request)> sdsw_request_bytes(
    const sdsw_request& request) {
    // The record is standard-layout with no padding; its bytes are what the
    // driver receives.
    return std::span<const std::uint8_t, sizeof(sdsw_request)>(
        reinterpret_cast<const std::uint8_t*>(&request), sizeof(sdsw_request));
}

// open(2) rather than openat(2): no other flags, no creation mode.
sdsw_device::sdsw_device() : fd_(::open(SDSW_DEVICE_PATH, O_RDWR)) {
    if (!fd_.is_open()) {
        std::puts("error opening /dev/ka_sdsw to  control switch driver ");
    }
}

int sdsw_device::issue(sdsw_request& request) const {
    const std::uint32_t header = request.header;
    if (::ioctl(fd_.get(), SDSW_REG_ACCESS, &request) == -1) {
        std::printf("error sending request 0x%08X to /dev/ka_sdsw\n",
                    static_cast<unsigned>(header));
        return SDSW_REQUEST_REJECTED;
    }
    return SDSW_OK;
}

}  // namespace uws
