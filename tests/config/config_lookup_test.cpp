#include "config_lookup.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "stdout_capture.hpp"
#include "temp_dir.hpp"

namespace uws {
namespace {

constexpr const char* UNTOUCHED = "untouched";

struct lookup_case {
    const char* name;
    std::string file;
    const char* key;
    std::string value;  // UNTOUCHED when `out` must keep what it held
    std::string printed;
};

void PrintTo(const lookup_case& c, std::ostream* os) {
    *os << c.name;
}

std::string long_line(std::size_t filler, const std::string& tail) {
    return std::string(filler, 'x') + tail;
}

const lookup_case LOOKUP_CASES[] = {
    {"KeyAtLineStart", "Channel = 6\n", "Channel", "6",
     "len of newsub = 2\nFinding:\"Channel\": Got: \"6\"\n"},
    {"CrLfLineEnding", "Channel = 6\r\n", "Channel", "6",
     "len of newsub = 3\nFinding:\"Channel\": Got: \"6\"\n"},
    {"NoFinalNewline", "Mode = 1\nChannel = 6", "Channel", "6",
     "len of newsub = 1\nFinding:\"Channel\": Got: \"6\"\n"},
    {"SpacesAndQuotesKept", "TAVRINO SSID = \"Lab net\" \n", "TAVRINO SSID", "\"Lab net\" ",
     "len of newsub = 11\nFinding:\"TAVRINO SSID\": Got: \"\"Lab net\" \"\n"},
    // The value index counts from the line's start, not from the key.
    {"KeyAfterOtherText", "# Channel = 6\n", "Channel", "= 6",
     "len of newsub = 4\nFinding:\"Channel\": Got: \"= 6\"\n"},
    {"KeyInsideLongerKeyOnEarlierLineWins", "WifiChannelWidth = 40\nChannel = 6\n", "Channel",
     "lWidth = 40", "len of newsub = 12\nFinding:\"Channel\": Got: \"lWidth = 40\"\n"},
    {"ShortSeparatorLosesValueBytes", "Channel=6\n", "Channel", "",
     "len of newsub = 0\nFinding:\"Channel\": Got: \"\"\n"},
    {"LineShorterThanKeyAndSeparator", "Channel\nChannel = 6\n", "Channel", "",
     "len of newsub = 0\nFinding:\"Channel\": Got: \"\"\n"},
    {"LineExactlyKeyAndSeparator", "Channel =\n", "Channel", "",
     "len of newsub = 0\nFinding:\"Channel\": Got: \"\"\n"},
    {"EmptyKeyMatchesFirstLine", "abc = 1\nChannel = 6\n", "", " = 1",
     "len of newsub = 5\nFinding:\"\": Got: \" = 1\"\n"},
    // Lines longer than 199 characters are read and matched in pieces.
    {"KeyInSecondPieceOfLongLine", long_line(199, "Channel = 6\n"), "Channel", "6",
     "len of newsub = 2\nFinding:\"Channel\": Got: \"6\"\n"},
    {"KeyAcrossPieceBoundaryNotFound", long_line(195, "Channel = 6\n"), "Channel", UNTOUCHED, ""},
    // The value index is counted from the start of the piece.
    {"LongestValueOfAPiece", "Channel = " + long_line(189, "\n"), "Channel", std::string(189, 'x'),
     "len of newsub = 189\nFinding:\"Channel\": Got: \"" + std::string(189, 'x') + "\"\n"},
    {"CaseSensitive", "channel = 6\n", "Channel", UNTOUCHED, ""},
    {"EmptyFile", "", "Channel", UNTOUCHED, ""},
};

class config_lookup_cases : public testing::TestWithParam<lookup_case> {};

TEST_P(config_lookup_cases, value_and_trace) {
    const lookup_case& c = GetParam();
    const test::temp_dir dir;
    const std::string path = dir.write("config.qorv", c.file).string();

    config_value out{};
    std::strcpy(out.data(), UNTOUCHED);
    test::stdout_capture capture;
    EXPECT_EQ(config_lookup_in(path.c_str(), c.key, out), 0);

    EXPECT_EQ(capture.text(), c.printed);
    EXPECT_EQ(std::string(out.data()), c.value);
}

INSTANTIATE_TEST_SUITE_P(lookup, config_lookup_cases, testing::ValuesIn(LOOKUP_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(config_lookup, unreadable_file_prints_message_each_time_and_leaves_out_untouched) {
    const test::temp_dir dir;
    const std::string missing = (dir.path() / "config.qorv").string();

    config_value out{};
    std::strcpy(out.data(), UNTOUCHED);
    test::stdout_capture capture;
    config_lookup_in(missing.c_str(), "TAVRINO SSID", out);
    config_lookup_in(missing.c_str(), "Channel", out);

    EXPECT_EQ(capture.text(), "Can not read config.qorv\nCan not read config.qorv\n");
    EXPECT_STREQ(out.data(), UNTOUCHED);
}

TEST(config_extract_value, value_ends_at_first_line_ending_byte) {
    config_value out{};
    test::stdout_capture capture;
    config_extract_value("Key", "Key = a\rb\n", out);
    EXPECT_EQ(capture.text(), "len of newsub = 4\n");
    EXPECT_STREQ(out.data(), "a");
}

}  // namespace
}  // namespace uws
