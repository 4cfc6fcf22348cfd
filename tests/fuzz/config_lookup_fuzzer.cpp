// Fuzzes the configuration lookup with arbitrary file contents and keys, and
// checks every result against a plain re-statement of the lookup rules: the
// file is read in pieces of at most 199 bytes ending after a newline, each
// piece is a C string, the first piece containing the key wins, and its value
// runs from index key length + 3 to the first CR or LF.
//
// Input: byte 0 picks the key (0xFF "Channel", 0xFE "TAVRINO SSID", else its
// value is the length of a key taken from the bytes after it); the rest is
// the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "config_lookup.hpp"

namespace {

std::string config_path;

// What the lookup must leave in `out`, or nothing for no match.
bool reference_lookup(std::string_view file, std::string_view key, std::string& value) {
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = at;
        while (end < file.size() && end - at < 199) {
            if (file[end++] == '\n') {
                break;
            }
        }
        const std::string_view piece = file.substr(at, end - at);
        const std::string_view line = piece.substr(0, std::min(piece.find('\0'), piece.size()));
        at = end;
        if (line.find(key) == std::string_view::npos) {
            continue;
        }
        value.clear();
        const std::size_t start = key.size() + 3;
        if (start <= line.size()) {
            value = line.substr(start);
            value = value.substr(0, value.find_first_of("\r\n"));
        }
        return true;
    }
    return false;
}

void fail(const char* what) {
    std::fprintf(stderr, "config_lookup_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // The lookup's trace is not what is checked here.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        fail("cannot silence stdout");
    }
    config_path = "/tmp/uws-config-fuzz-" + std::to_string(::getpid()) + ".qorv";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view key;
    std::string_view file;
    if (data[0] == 0xFF || data[0] == 0xFE) {
        key = data[0] == 0xFF ? "Channel" : "TAVRINO SSID";
        file = input;
    } else {
        key = input.substr(0, std::min<std::size_t>(data[0], input.size()));
        file = input.substr(key.size());
    }

    std::FILE* out_file = std::fopen(config_path.c_str(), "wb");
    if (out_file == nullptr || std::fwrite(file.data(), 1, file.size(), out_file) != file.size() ||
        std::fclose(out_file) != 0) {
        fail("cannot write the configuration file");
    }

    uws::config_value out;
    out.fill('\xA5');
    const uws::config_value before = out;
    uws::config_lookup_in(config_path.c_str(), key, out);

    std::string expected;
    if (!reference_lookup(file, key, expected)) {
        if (out != before) {
            fail("no line holds the key, yet out changed");
        }
        return 0;
    }
    const void* terminator = std::memchr(out.data(), '\0', out.size());
    if (terminator == nullptr) {
        fail("value is not terminated inside its buffer");
    }
    if (std::string_view(out.data()) != expected) {
        fail("value differs from the lookup rules");
    }
    return 0;
}
