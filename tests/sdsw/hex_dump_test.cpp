#include "hex_dump.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace uws {
namespace {

std::string dump(const std::vector<std::uint8_t>& bytes) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    hex_dump(out, bytes);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    return result;
}

const std::string BANNER(53, '=');

TEST(hex_dump, full_request_record_matches_golden_dump) {
    std::vector<std::uint8_t> record(1032);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    std::ifstream golden(std::string(UWS_TEST_GOLDEN_DIR) + "/hex_dump_1032.txt", std::ios::binary);
    ASSERT_TRUE(golden) << "golden dump missing";
    std::stringstream expected;
    expected << golden.rdbuf();

    EXPECT_EQ(dump(record), expected.str());
}

TEST(hex_dump, empty_dump_is_banners_around_an_empty_first_row) {
    EXPECT_EQ(dump({}), "\n" + BANNER + "\n0000: \n" + BANNER + "\n");
}

TEST(hex_dump, one_full_row_has_no_second_label) {
    std::vector<std::uint8_t> row(16);
    for (std::size_t i = 0; i < row.size(); ++i) {
        row[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    EXPECT_EQ(dump(row), "\n" + BANNER +
                             "\n0000: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF \n" + BANNER +
                             "\n");
}

TEST(hex_dump, seventeenth_byte_starts_a_labelled_row) {
    const std::vector<std::uint8_t> bytes(17, 0xAB);
    EXPECT_EQ(dump(bytes), "\n" + BANNER + "\n0000: " +
                               "AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB \n0010: AB \n" +
                               BANNER + "\n");
}

}  // namespace
}  // namespace uws
