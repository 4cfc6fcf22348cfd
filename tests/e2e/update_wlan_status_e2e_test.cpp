// The unmodified program, run against the emulated switch driver with a
// virtual uap0 and a configuration at its real path. Every scenario checks
// the whole trace, an empty stderr, exit status 0, the ordered requests the
// driver received and the register image afterwards.
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "emulated_driver.hpp"
#include "expected_bytes.hpp"
#include "hex.hpp"
#include "temp_dir.hpp"

extern char** environ;

namespace uws {
namespace {

using test::address_bytes;
using test::block_bytes;
using test::register_image;
using test::request_entry;
constexpr std::size_t RECORD_SIZE = test::REQUEST_RECORD_SIZE;
constexpr std::size_t BLOCK_OFFSET = test::WLAN_BLOCK_OFFSET;

struct scenario {
    std::optional<std::string> config;
    std::optional<std::string> mac = "02:11:22:33:44:55";
    bool device = true;
    std::string reject;  // "", "reads", "writes"
    std::vector<std::string> args;
    std::vector<std::string> wrapper;  // a command the program runs under
};

struct run_result {
    std::string workdir;
    std::string fds_during_wait;
    std::string out;
    std::string err;
    std::string exit;
    std::vector<request_entry> requests;
    register_image image{};
};

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A register image whose every byte is distinct from its neighbours, holding
// an older network name in the WLAN block, so bytes that change or stay show.
register_image initial_image() {
    register_image image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    test::patch(image, BLOCK_OFFSET + 2, std::string_view("OldNetwork12"));
    return image;
}

block_bytes block_of(const register_image& image) {
    block_bytes block{};
    std::copy_n(image.begin() + BLOCK_OFFSET, block.size(), block.begin());
    return block;
}

const address_bytes UAP0_ADDRESS = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
const address_bytes NO_ADDRESS = {};

// Runs the program under the emulator; skips the test where no private
// namespace can be had, unless every test is required to run.
std::optional<run_result> run(const scenario& s) {
    const test::temp_dir dir;
    const register_image initial = initial_image();
    const std::string image_path =
        dir.write("image.bin", {reinterpret_cast<const char*>(initial.data()), initial.size()})
            .string();
    std::vector<std::string> argv = {UWS_EMULATOR, "--workdir", dir.path().string(), "--image",
                                     image_path};
    if (s.config) {
        argv.insert(argv.end(), {"--config", dir.write("config.qorv", *s.config).string()});
    }
    if (s.mac) {
        argv.insert(argv.end(), {"--mac", *s.mac});
    }
    if (!s.device) {
        argv.emplace_back("--no-device");
    }
    if (!s.reject.empty()) {
        argv.insert(argv.end(), {"--reject", s.reject});
    }
    argv.emplace_back("--");
    argv.insert(argv.end(), s.wrapper.begin(), s.wrapper.end());
    argv.emplace_back(UWS_PROGRAM);
    argv.insert(argv.end(), s.args.begin(), s.args.end());

    std::vector<char*> raw;
    for (std::string& arg : argv) {
        raw.push_back(arg.data());
    }
    raw.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << raw[0];
        return std::nullopt;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const int emulator_exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (emulator_exit == test::EXIT_NO_PRIVATE_SETUP) {
        const char* required = std::getenv("UWS_REQUIRE_ALL_TESTS");
        if (required != nullptr && std::string(required) == "1") {
            ADD_FAILURE() << "end-to-end run not possible here: "
                          << read_file(dir.path() / "setup-error");
        } else {
            [&] { GTEST_SKIP() << read_file(dir.path() / "setup-error"); }();
        }
        return std::nullopt;
    }
    if (emulator_exit != 0) {
        ADD_FAILURE() << "emulator failed with status " << emulator_exit;
        return std::nullopt;
    }

    run_result result;
    result.workdir = dir.path().string();
    result.fds_during_wait = read_file(dir.path() / "fds-at-2.5s");
    result.out = read_file(dir.path() / "stdout");
    result.err = read_file(dir.path() / "stderr");
    result.exit = read_file(dir.path() / "exit");
    const std::string requests = read_file(dir.path() / "requests.bin");
    EXPECT_EQ(requests.size() % sizeof(request_entry), 0U);
    for (std::size_t at = 0; at + sizeof(request_entry) <= requests.size();
         at += sizeof(request_entry)) {
        std::memcpy(&result.requests.emplace_back(), requests.data() + at, sizeof(request_entry));
    }
    const std::string image = read_file(dir.path() / "image.bin");
    EXPECT_EQ(image.size(), result.image.size());
    std::memcpy(result.image.data(), image.data(), std::min(image.size(), result.image.size()));
    return result;
}

// The request the driver must see: code 53, its answer, the header as a
// native word, reserved 0, `payload` and zeros after it.
request_entry expected_request(std::uint32_t header, std::span<const std::uint8_t> payload,
                               bool rejected = false) {
    request_entry entry{53, rejected ? -1 : 0, rejected ? 5 : 0, {}};
    std::memcpy(entry.record.data(), &header, sizeof header);
    std::copy(payload.begin(), payload.end(), entry.record.begin() + 8);
    return entry;
}

request_entry expected_request(std::uint32_t header, std::initializer_list<std::uint8_t> payload,
                               bool rejected = false) {
    return expected_request(header, std::span(payload.begin(), payload.size()), rejected);
}

std::string describe(const request_entry& entry) {
    return "code " + std::to_string(entry.code) + ", answer " + std::to_string(entry.answer) +
           ", errno " + std::to_string(entry.error) + "\n" + test::hex(entry.record);
}

void expect_requests(const std::vector<request_entry>& actual,
                     const std::vector<request_entry>& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << "number of requests";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(describe(actual[i]), describe(expected[i])) << "request " << i;
    }
}

// Compares two register images row by row, printing only the rows that differ.
void expect_image(const register_image& actual, const register_image& expected) {
    for (std::size_t row = 0; row < actual.size(); row += 16) {
        const auto a = std::span(actual).subspan(row, 16);
        const auto e = std::span(expected).subspan(row, 16);
        EXPECT_TRUE(std::equal(a.begin(), a.end(), e.begin()))
            << "register image differs at 0x" << std::hex << row << "\n  actual:   " << test::hex(a)
            << "  expected: " << test::hex(e);
    }
}

void expect_clean_exit(const run_result& result) {
    EXPECT_EQ(result.exit, "0");
    EXPECT_EQ(result.err, "");
}

// Halfway through the five-second wait the program holds nothing but its
// standard streams.
void expect_nothing_open_during_wait(const run_result& result) {
    EXPECT_EQ(result.fds_during_wait, "0 -> /dev/null\n1 -> " + result.workdir + "/stdout\n2 -> " +
                                          result.workdir + "/stderr\n");
}

// The request record as dumped before the write-back: read header, reserved
// zero, the filled block, zeros.
std::string expected_dump(const block_bytes& block) {
    std::array<std::uint8_t, RECORD_SIZE> record{};
    test::patch(record, 0, {0x06, 0x01, 0x5F, 0x00});
    std::copy(block.begin(), block.end(), record.begin() + 8);
    return test::dump_text(record);
}

const std::string HEADLINE = "update wlan status\n";
const std::string NO_DEVICE = "error opening /dev/ka_sdsw to  control switch driver \n";
const std::string NO_CONFIG = "Can not read config.qorv\n";
const std::string NAME_LINES = "len of newsub = 7\nFinding:\"TAVRINO SSID\": Got: \"LabNet\"\n";
const std::string CHANNEL_LINES = "len of newsub = 2\nFinding:\"Channel\": Got: \"6\"\n";
const std::string CONFIG = "TAVRINO SSID = LabNet\nChannel = 6\n";

// Slot 0 after a run: tag 01 00 03 00, argument 0, state 3 (over 1),
// reserved 0, result 0; then the update flag 1.
register_image with_slot_and_flag(register_image image) {
    test::patch(image, 0x40,
                {0x01, 0x00, 0x03, 0x00, 0, 0, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    test::patch(image, 0x20, {0x01});
    return image;
}

register_image with_block(register_image image, const block_bytes& block) {
    std::copy(block.begin(), block.end(), image.begin() + BLOCK_OFFSET);
    return image;
}

const std::initializer_list<std::uint8_t> SLOT_OPEN_PAYLOAD = {
    0x01, 0x00, 0x03, 0x00, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The six requests of a run in which every request reaches the driver.
std::vector<request_entry> full_run_requests(const block_bytes& block, bool reads_rejected = false,
                                             bool writes_rejected = false) {
    std::vector<request_entry> requests = {
        expected_request(0x80140040, SLOT_OPEN_PAYLOAD, writes_rejected),
        expected_request(0x005F0106, {}, reads_rejected)};
    if (!reads_rejected) {
        requests.push_back(expected_request(0x805F0106, block, writes_rejected));
    }
    requests.push_back(expected_request(0x80040050, {0, 0, 0, 0}, writes_rejected));
    requests.push_back(expected_request(0x80010048, {0x03, 0, 0, 0}, writes_rejected));
    requests.push_back(expected_request(0x80010020, {0x01, 0, 0, 0}, writes_rejected));
    return requests;
}

// A run in which every request reached the driver: the six requests, and the
// register image with `block` published, slot 0 closed and the flag set.
void expect_published(const run_result& result, const block_bytes& block) {
    expect_requests(result.requests, full_run_requests(block));
    expect_image(result.image, with_block(with_slot_and_flag(initial_image()), block));
}

// Returns the run's stderr for further checks.
std::string expect_full_run(const std::vector<std::string>& args,
                            const std::vector<std::string>& wrapper = {}) {
    const auto result = run({.config = CONFIG, .args = args, .wrapper = wrapper});
    if (!result) {
        return {};
    }
    const block_bytes block =
        test::expected_block(block_of(initial_image()), "LabNet", 0, 6, UAP0_ADDRESS);

    EXPECT_EQ(result->exit, "0");
    if (wrapper.empty()) {
        expect_nothing_open_during_wait(*result);
    }
    EXPECT_EQ(result->out, HEADLINE + NAME_LINES + CHANNEL_LINES + expected_dump(block));
    expect_published(*result, block);
    return result->err;
}

TEST(update_wlan_status, full_run_publishes_block_then_closes_slot_and_sets_flag) {
    EXPECT_EQ(expect_full_run({}), "");
}

TEST(update_wlan_status, arguments_on_the_command_line_change_nothing) {
    EXPECT_EQ(expect_full_run({"--help", "-v", "Channel = 1"}), "");
}

#ifdef UWS_VALGRIND
TEST(update_wlan_status, full_run_is_clean_under_valgrind_memcheck) {
    const std::string err = expect_full_run(
        {},
        {UWS_VALGRIND, "--error-exitcode=99", "--leak-check=full", "--errors-for-leak-kinds=all"});
    EXPECT_NE(err.find("ERROR SUMMARY: 0 errors from 0 contexts"), std::string::npos) << err;
}
#endif

TEST(update_wlan_status, nothing_present_prints_exactly_seven_lines) {
    const auto result = run({.config = std::nullopt, .mac = std::nullopt, .device = false});
    if (!result) {
        return;
    }
    expect_clean_exit(*result);
    EXPECT_EQ(result->out,
              HEADLINE + NO_CONFIG + NO_DEVICE + NO_CONFIG + NO_DEVICE + NO_DEVICE + NO_DEVICE);
    expect_requests(result->requests, {});
    expect_image(result->image, initial_image());
}

TEST(update_wlan_status, empty_configuration_keeps_old_name_and_uses_channel_11) {
    const auto result = run({.config = ""});
    if (!result) {
        return;
    }
    const block_bytes block =
        test::expected_block(block_of(initial_image()), "", 0, 11, UAP0_ADDRESS);

    expect_clean_exit(*result);
    EXPECT_EQ(result->out, HEADLINE + expected_dump(block));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[2]), 12), "OldNetwork12");
    expect_published(*result, block);
}

TEST(update_wlan_status, rejected_read_leaves_block_alone_and_still_closes_slot) {
    const auto result = run({.config = CONFIG, .reject = "reads"});
    if (!result) {
        return;
    }
    expect_clean_exit(*result);
    expect_nothing_open_during_wait(*result);
    EXPECT_EQ(result->out, HEADLINE + NAME_LINES + CHANNEL_LINES +
                               "error sending request 0x005F0106 to /dev/ka_sdsw\n");
    expect_requests(result->requests, full_run_requests({}, true));
    expect_image(result->image, with_slot_and_flag(initial_image()));
}

TEST(update_wlan_status, rejected_writes_are_each_reported_and_change_nothing) {
    const auto result = run({.config = CONFIG, .reject = "writes"});
    if (!result) {
        return;
    }
    const block_bytes block =
        test::expected_block(block_of(initial_image()), "LabNet", 0, 6, UAP0_ADDRESS);

    expect_clean_exit(*result);
    EXPECT_EQ(result->out, HEADLINE + NAME_LINES +
                               "error sending request 0x80140040 to /dev/ka_sdsw\n" +
                               CHANNEL_LINES + expected_dump(block) +
                               "error sending request 0x805F0106 to /dev/ka_sdsw\n"
                               "error sending request 0x80040050 to /dev/ka_sdsw\n"
                               "error sending request 0x80010048 to /dev/ka_sdsw\n"
                               "error sending request 0x80010020 to /dev/ka_sdsw\n");
    expect_requests(result->requests, full_run_requests(block, false, true));
    expect_image(result->image, initial_image());
}

TEST(update_wlan_status, no_uap0_writes_zero_address_and_unusable_channel_gives_11) {
    const auto result =
        run({.config = "TAVRINO SSID = LabNet\nChannel = auto\n", .mac = std::nullopt});
    if (!result) {
        return;
    }
    const block_bytes block =
        test::expected_block(block_of(initial_image()), "LabNet", 0, 11, NO_ADDRESS);

    expect_clean_exit(*result);
    EXPECT_EQ(result->out, HEADLINE + NAME_LINES +
                               "len of newsub = 5\nFinding:\"Channel\": Got: \"auto\"\n" +
                               expected_dump(block));
    expect_published(*result, block);
}

TEST(update_wlan_status, name_longer_than_32_bytes_is_cut_at_its_field) {
    const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefgh";  // 44 bytes
    const auto result = run({.config = "TAVRINO SSID = " + name + "\nChannel = 6\n"});
    if (!result) {
        return;
    }
    const block_bytes block =
        test::expected_block(block_of(initial_image()), name, 0, 6, UAP0_ADDRESS);

    expect_clean_exit(*result);
    EXPECT_EQ(result->out, HEADLINE + "len of newsub = 45\nFinding:\"TAVRINO SSID\": Got: \"" +
                               name + "\"\n" + CHANNEL_LINES + expected_dump(block));
    expect_published(*result, block);
}

}  // namespace
}  // namespace uws
