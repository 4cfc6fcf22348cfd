#include "status_slot.hpp"

#include <cstdio>

namespace uws {
namespace {

bool status_slot_refused(std::int32_t slot) {
    if (status_slot_valid(slot)) {
        return false;
    }
    std::printf("status slot %d is outside 0..%d\n", static_cast<int>(slot),
                static_cast<int>(STATUS_SLOT_MAX));
    return true;
}

}  // namespace

void status_slot_fill_open(sdsw_request& request, std::int16_t code, std::int32_t argument,
                           std::int32_t slot) {
    request.header = sdsw_header(sdsw_direction::write, STATUS_SLOT_SIZE, status_slot_offset(slot));
    sdsw_store_word(request, STATUS_SLOT_TAG, status_slot_tag(code));
    sdsw_store_word(request, STATUS_SLOT_ARGUMENT, static_cast<std::uint32_t>(argument));
    sdsw_store_word(request, STATUS_SLOT_STATE, STATUS_SLOT_STATE_STARTED);
    sdsw_store_word(request, STATUS_SLOT_RESERVED, 0);
    sdsw_store_word(request, STATUS_SLOT_RESULT, 0);
}

void status_slot_fill_result(sdsw_request& request, std::int32_t slot, std::int32_t result) {
    request.header =
        sdsw_header(sdsw_direction::write, 4, status_slot_offset(slot) + STATUS_SLOT_RESULT);
    sdsw_store_word(request, 0, static_cast<std::uint32_t>(result));
}

void status_slot_fill_state(sdsw_request& request, std::int32_t slot, std::uint8_t state) {
    request.header =
        sdsw_header(sdsw_direction::write, 1, status_slot_offset(slot) + STATUS_SLOT_STATE);
    sdsw_store_word(request, 0, state);
}

void update_flag_fill(sdsw_request& request, std::int32_t value) {
    request.header = sdsw_header(sdsw_direction::write, 1, UPDATE_FLAG_OFFSET);
    sdsw_store_word(request, 0, static_cast<std::uint32_t>(value));
}

int status_slot_open(std::int16_t code, std::int32_t argument, std::int32_t slot) {
    if (status_slot_refused(slot)) {
        return SDSW_BAD_ARGUMENT;
    }
    return sdsw_transfer([&](const sdsw_device& device, sdsw_request& request) {
        status_slot_fill_open(request, code, argument, slot);
        return device.issue(request);
    });
}

int status_slot_close(std::int32_t slot, std::uint8_t state, std::int32_t result) {
    if (status_slot_refused(slot)) {
        return SDSW_BAD_ARGUMENT;
    }
    return sdsw_transfer([&](const sdsw_device& device, sdsw_request& request) {
        status_slot_fill_result(request, slot, result);
        const int result_status = device.issue(request);
        status_slot_fill_state(request, slot, state);
        return sdsw_first_failure(result_status, device.issue(request));
    });
}

int update_flag_set(std::int32_t value) {
    return sdsw_transfer([&](const sdsw_device& device, sdsw_request& request) {
        update_flag_fill(request, value);
        return device.issue(request);
    });
}

}  // namespace uws
