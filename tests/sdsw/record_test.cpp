// Exact bytes of every request record the program builds.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "hex.hpp"
#include "sdsw_request.hpp"
#include "status_slot.hpp"
#include "stdout_capture.hpp"
#include "wlan_info.hpp"

namespace uws {
namespace {

// The 1032 bytes the driver must receive: the header as a native word, a zero
// reserved word, then `payload` and zeros up to the end.
std::vector<std::uint8_t> expected_record(std::uint32_t header,
                                          const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> bytes(sizeof(sdsw_request), 0);
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + 8, payload.data(), payload.size());
    return bytes;
}

std::vector<std::uint8_t> actual_record(const sdsw_request& request) {
    const auto bytes = sdsw_request_bytes(request);
    return {bytes.begin(), bytes.end()};
}

#define EXPECT_RECORD(request, header, ...)      \
    EXPECT_EQ(test::hex(actual_record(request)), \
              test::hex(expected_record(header, std::vector<std::uint8_t>(__VA_ARGS__))))

TEST(sdsw_header, builds_every_header_the_program_issues) {
    EXPECT_EQ(sdsw_header(sdsw_direction::write, 20, 0x40), 0x80140040U);
    EXPECT_EQ(sdsw_header(sdsw_direction::write, 4, 0x50), 0x80040050U);
    EXPECT_EQ(sdsw_header(sdsw_direction::write, 1, 0x48), 0x80010048U);
    EXPECT_EQ(sdsw_header(sdsw_direction::write, 1, 0x20), 0x80010020U);
    EXPECT_EQ(sdsw_header(sdsw_direction::read, 95, 0x106), 0x005F0106U);
    EXPECT_EQ(sdsw_header(sdsw_direction::write, 95, 0x106), 0x805F0106U);
}

TEST(sdsw_header, count_and_offset_cannot_spill_into_the_fields_above) {
    EXPECT_EQ(sdsw_header(sdsw_direction::read, 0x8001, 0x1FFFF), 0x0001FFFFU);
}

// Payload words are little-endian byte by byte whatever the processor's
// order; the header stays a native word.
TEST(sdsw_store_word, stores_little_endian_bytes_on_any_processor) {
    sdsw_request request{};
    request.header = 0x11223344U;
    sdsw_store_word(request, 0, 0xA1B2C3D4U);
    sdsw_store_word(request, 6, 0x01020304U);
    EXPECT_RECORD(request, 0x11223344U, {0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0x04, 0x03, 0x02, 0x01});
}

TEST(status_slot_open, slot_zero_record) {
    sdsw_request request{};
    status_slot_fill_open(request, 3, 0, 0);
    EXPECT_RECORD(request, 0x80140040U,
                  {0x01, 0x00, 0x03, 0x00, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(status_slot_open, negative_code_fills_upper_half_of_tag_at_slot_two) {
    sdsw_request request{};
    status_slot_fill_open(request, -1, 7, 2);
    EXPECT_EQ(status_slot_tag(-1), 0xFFFF0001U);
    EXPECT_RECORD(request, 0x80140068U,
                  {0x01, 0x00, 0xFF, 0xFF, 0x07, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(status_slot_close, result_then_state_on_one_reused_record) {
    sdsw_request request{};
    status_slot_fill_result(request, 0, 0);
    EXPECT_RECORD(request, 0x80040050U, {0, 0, 0, 0});
    status_slot_fill_state(request, 0, 3);
    EXPECT_RECORD(request, 0x80010048U, {0x03, 0, 0, 0});
}

TEST(status_slot_close, negative_result_is_a_full_word) {
    sdsw_request request{};
    status_slot_fill_result(request, 1, -2);
    EXPECT_RECORD(request, 0x80040064U, {0xFE, 0xFF, 0xFF, 0xFF});
}

TEST(update_flag_set, hands_over_the_whole_word_with_count_one) {
    sdsw_request request{};
    update_flag_fill(request, 0x101);
    EXPECT_RECORD(request, 0x80010020U, {0x01, 0x01, 0x00, 0x00});
}

TEST(status_slot, valid_slots_lie_whole_below_offset_0x10000) {
    EXPECT_FALSE(status_slot_valid(-1));
    EXPECT_TRUE(status_slot_valid(0));
    EXPECT_TRUE(status_slot_valid(3272));
    EXPECT_LE(status_slot_offset(3272) + STATUS_SLOT_SIZE, 0x10000U);
    EXPECT_FALSE(status_slot_valid(3273));
}

TEST(status_slot, slot_beyond_the_offset_field_is_refused_before_the_device_is_opened) {
    test::stdout_capture capture;
    EXPECT_EQ(status_slot_open(3, 0, -1), SDSW_BAD_ARGUMENT);
    EXPECT_EQ(status_slot_close(3273, 3, 0), SDSW_BAD_ARGUMENT);
    EXPECT_EQ(capture.text(),
              "status slot -1 is outside 0..3272\nstatus slot 3273 is outside 0..3272\n");
}

}  // namespace
}  // namespace uws
