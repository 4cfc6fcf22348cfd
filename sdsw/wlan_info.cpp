#include "wlan_info.hpp"

#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config_lookup.hpp"
#include "hex_dump.hpp"
#include "unique_fd.hpp"

namespace uws {

std::uint8_t wlan_channel_from_text(std::string_view text) {
    constexpr std::string_view blanks = " \t";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return WLAN_CHANNEL_DEFAULT;
    }
    const std::size_t last = text.find_last_not_of(blanks);
    std::string_view number(text.data() + first, last - first + 1);

    bool negative = false;
    if (number.front() == '+' || number.front() == '-') {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    if (number.empty()) {
        return WLAN_CHANNEL_DEFAULT;
    }
    // Saturates above the range, so a number of any length is judged without
    // overflow.
    unsigned value = 0;
    for (const char digit : number) {
        if (digit < '0' || digit > '9') {
            return WLAN_CHANNEL_DEFAULT;
        }
        value = std::min(value * 10 + static_cast<unsigned>(digit - '0'), WLAN_CHANNEL_MAX + 1U);
    }
    if ((negative && value != 0) || value > WLAN_CHANNEL_MAX) {
        return WLAN_CHANNEL_OUT_OF_RANGE;
    }
    return static_cast<std::uint8_t>(value);
}

void wlan_info_fill(std::span<std::uint8_t, WLAN_INFO_SIZE> block, std::string_view name,
                    std::uint8_t mode, std::uint8_t channel, const hw_address& address) {
    block[WLAN_MARKER] = WLAN_MARKER_VALUE;
    const std::size_t name_length = std::min(name.size(), WLAN_NAME_SIZE);
    std::copy_n(name.begin(), name_length, block.subspan<WLAN_NAME, WLAN_NAME_SIZE>().begin());
    block[WLAN_MODE] = mode;
    block[WLAN_MODE_PAD] = 0;
    block[WLAN_CHANNEL] = channel;
    std::memcpy(&block[WLAN_HW_ADDRESS], address.data(), address.size());
    std::memcpy(&block[WLAN_IPV4], WLAN_IPV4_VALUES.data(), sizeof(WLAN_IPV4_VALUES));
}

hw_address interface_hw_address(const char* name) {
    hw_address address{};
    ifreq request{};
    static_assert(sizeof(request.ifr_hwaddr.sa_data) >= sizeof(address));
    const unique_fd socket_fd(::socket(AF_INET, SOCK_DGRAM, 0));
    if (!socket_fd.is_open()) {
        return address;
    }
    std::strncpy(std::data(request.ifr_name), name, sizeof(request.ifr_name) - 1);
    // A failed query leaves the record zero, which is the address reported.
    ::ioctl(socket_fd.get(), SIOCGIFHWADDR, &request);
    std::memcpy(address.data(), std::data(request.ifr_hwaddr.sa_data), address.size());
    return address;
}

int wlan_info_publish(std::string_view name, std::uint8_t mode) {
    const hw_address address = interface_hw_address(WLAN_INTERFACE);

    config_value channel_text{};
    config_lookup(WLAN_CHANNEL_KEY, channel_text);
    const std::uint8_t channel = wlan_channel_from_text(channel_text.data());

    return sdsw_transfer([&](const sdsw_device& device, sdsw_request& request) {
        request.header = WLAN_INFO_READ_HEADER;
        // Writing back a block built on zeros would wipe every byte the
        // program does not own.
        if (const int status = device.issue(request); status != SDSW_OK) {
            return status;
        }
        wlan_info_fill(std::span(request.data).first<WLAN_INFO_SIZE>(), name, mode, channel,
                       address);
        hex_dump(stdout, sdsw_request_bytes(request));
        request.header = WLAN_INFO_WRITE_HEADER;
        return device.issue(request);
    });
}

}  // namespace uws
