// sdsw_emulator: runs a program against an emulated switch driver behind
// /dev/ka_sdsw, with a virtual "uap0" and a configuration file at
// /mnt/mtd/config/config.qorv, all private to one network and mount
// namespace, so nothing on the host changes.
//
// The driver serves request code 53 from a 64 KiB register image: a read
// copies `count` register bytes from the offset into the payload, a write
// copies `count` payload bytes to the registers. It records every request in
// order, answers other codes with ENOTTY and can be told to reject reads,
// writes or both (answer -1 with EIO). The program runs under umockdev's
// preload library, which hands its ioctls on /dev/ka_sdsw to this process.
//
// Results go into the work directory: stdout, stderr, exit (the program's
// exit status, "signal N" or "timeout"), requests.bin (one entry a request:
// code, answer, errno as native 32-bit words, then the 1032-byte record as
// the driver received it), image.bin (the register image afterwards) and
// fds-at-2.5s (the program's open descriptors 2.5 seconds after its start,
// while it waits: one "fd -> target" line each).
//
// Exit status: 0 when the program ran; 77 when the private namespace, the
// tmpfs on /mnt or the virtual uap0 could not be had (the reason is also in
// the work directory's file "setup-error"), unless --allow-host was given;
// 1 on any other failure.
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emulated_driver.hpp"

extern char** environ;

namespace {

constexpr unsigned long SDSW_REG_ACCESS = 53;
using uws::test::EXIT_NO_PRIVATE_SETUP;
using uws::test::request_entry;
constexpr std::size_t RECORD_SIZE = uws::test::REQUEST_RECORD_SIZE;

enum class reject_mode { none, reads, writes, all };

struct options {
    std::string workdir;
    std::optional<std::string> config;
    std::optional<std::string> mac;
    std::optional<std::string> image;
    reject_mode reject = reject_mode::none;
    bool device = true;
    bool allow_host = false;
    bool report = false;
    int timeout_seconds = 30;
    std::vector<char*> program;
};

struct driver {
    std::mutex lock;
    uws::test::register_image image{};
    std::vector<request_entry> requests;
    reject_mode reject = reject_mode::none;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "sdsw_emulator: %s\n", message.c_str());
    std::exit(1);
}

void usage() {
    std::fputs(
        "usage: sdsw_emulator --workdir DIR [--config FILE] [--mac XX:XX:XX:XX:XX:XX]\n"
        "                     [--image FILE] [--reject reads|writes|all] [--no-device]\n"
        "                     [--timeout SECONDS] [--allow-host] [--report] -- PROGRAM [ARG...]\n"
        "  --report      print the register image afterwards, field by field\n"
        "  --allow-host  without a private namespace, run anyway with the host's\n"
        "                /mnt and interfaces (no virtual uap0, no configuration)\n",
        stderr);
    std::exit(1);
}

options parse(int argc, char** argv) {
    options parsed;
    int i = 1;
    auto value = [&]() -> std::string {
        if (i + 1 >= argc) {
            usage();
        }
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--workdir") {
            parsed.workdir = value();
        } else if (arg == "--config") {
            parsed.config = value();
        } else if (arg == "--mac") {
            parsed.mac = value();
        } else if (arg == "--image") {
            parsed.image = value();
        } else if (arg == "--reject") {
            const std::string mode = value();
            parsed.reject = mode == "reads"    ? reject_mode::reads
                            : mode == "writes" ? reject_mode::writes
                            : mode == "all"    ? reject_mode::all
                                               : (usage(), reject_mode::none);
        } else if (arg == "--no-device") {
            parsed.device = false;
        } else if (arg == "--report") {
            parsed.report = true;
        } else if (arg == "--allow-host") {
            parsed.allow_host = true;
        } else if (arg == "--timeout") {
            parsed.timeout_seconds = std::stoi(value());
        } else {
            usage();
        }
    }
    for (; i < argc; ++i) {
        parsed.program.push_back(argv[i]);
    }
    parsed.program.push_back(nullptr);
    if (parsed.workdir.empty() || parsed.program.size() < 2) {
        usage();
    }
    return parsed;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        fail("cannot write " + path);
    }
}

void write_proc(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error(std::string("cannot write ") + path + ": " + std::strerror(errno));
    }
    ::close(fd);
}

// Enters a private network and mount namespace; a user namespace too when
// not root. Returns why it could not, or nothing.
std::optional<std::string> enter_private_namespaces() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    int flags = CLONE_NEWNET | CLONE_NEWNS;
    if (uid != 0) {
        flags |= CLONE_NEWUSER;
    }
    if (::unshare(flags) != 0) {
        return std::string("unshare: ") + std::strerror(errno) +
               (uid != 0 ? " (run as root, or allow unprivileged user namespaces)" : "");
    }
    if (uid != 0) {
        try {
            write_proc("/proc/self/setgroups", "deny");
            write_proc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
            write_proc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        } catch (const std::exception& error) {
            return error.what();
        }
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("making mounts private: ") + std::strerror(errno);
    }
    return std::nullopt;
}

// Runs a set-up command (without the preload library) and waits for it.
std::optional<std::string> run_command(std::vector<const char*> argv) {
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv.data()),
                       environ) != 0) {
        return std::string("cannot start ") + argv[0];
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string command;
        for (const char* part : argv) {
            if (part != nullptr) {
                command += std::string(command.empty() ? "" : " ") + part;
            }
        }
        return "'" + command + "' failed";
    }
    return std::nullopt;
}

std::optional<std::string> create_uap0(const std::string& mac) {
    if (auto error = run_command({"ip", "tuntap", "add", "dev", "uap0", "mode", "tap"})) {
        return error;
    }
    return run_command({"ip", "link", "set", "uap0", "address", mac.c_str()});
}

std::optional<std::string> place_config(const std::optional<std::string>& fixture) {
    if (::mount("tmpfs", "/mnt", "tmpfs", 0, "size=1m,mode=755") != 0) {
        return std::string("mounting a tmpfs on /mnt: ") + std::strerror(errno);
    }
    if (!fixture) {
        return std::nullopt;
    }
    ::mkdir("/mnt/mtd", 0755);
    ::mkdir("/mnt/mtd/config", 0755);
    const std::string contents = read_file(*fixture);
    write_file("/mnt/mtd/config/config.qorv", contents.data(), contents.size());
    return std::nullopt;
}

bool rejected(reject_mode mode, bool write) {
    return mode == reject_mode::all || (write && mode == reject_mode::writes) ||
           (!write && mode == reject_mode::reads);
}

gboolean handle_ioctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client,
                      gpointer user_data) {
    auto& state = *static_cast<driver*>(user_data);
    const std::lock_guard guard(state.lock);
    request_entry entry{};
    entry.code = static_cast<std::uint32_t>(umockdev_ioctl_client_get_request(client));
    if (entry.code != SDSW_REG_ACCESS) {
        entry.answer = -1;
        entry.error = ENOTTY;
        state.requests.push_back(entry);
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }

    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    GError* error = nullptr;
    UMockdevIoctlData* record = umockdev_ioctl_data_resolve(arg, 0, RECORD_SIZE, &error);
    if (record == nullptr) {
        std::fprintf(stderr, "sdsw_emulator: cannot read the request record: %s\n",
                     error != nullptr ? error->message : "?");
        g_clear_error(&error);
        entry.answer = -1;
        entry.error = EFAULT;
        state.requests.push_back(entry);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return TRUE;
    }
    std::memcpy(entry.record.data(), record->data, RECORD_SIZE);

    std::uint32_t header = 0;
    std::memcpy(&header, record->data, sizeof header);
    const bool write = (header & 0x80000000U) != 0;
    const std::size_t count = (header >> 16) & 0x7FFFU;
    const std::size_t offset = header & 0xFFFFU;
    std::uint8_t* payload = record->data + 8;

    if (count > RECORD_SIZE - 8 || offset + count > state.image.size()) {
        entry.answer = -1;
        entry.error = EINVAL;
    } else if (rejected(state.reject, write)) {
        entry.answer = -1;
        entry.error = EIO;
    } else if (write) {
        std::memcpy(state.image.data() + offset, payload, count);
    } else {
        std::memcpy(payload, state.image.data() + offset, count);
    }
    state.requests.push_back(entry);
    umockdev_ioctl_client_complete(client, entry.answer, entry.error);
    return TRUE;
}

std::string raw_bytes(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned>(bytes[i]));
        text += byte;
    }
    return text;
}

std::uint32_t little_word(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Prints the areas of the register image the program writes, decoded.
void print_report(const uws::test::register_image& image) {
    const std::uint8_t* block = image.data() + uws::test::WLAN_BLOCK_OFFSET;
    const auto row = [&](const char* offsets, const char* field, const std::string& value,
                         std::size_t at, std::size_t count) {
        std::printf("  %-7s %-13s %-18s %s\n", offsets, field, value.c_str(),
                    raw_bytes(block + at, count).c_str());
    };
    const auto ipv4 = [&](std::size_t at) {
        return std::to_string(block[at]) + "." + std::to_string(block[at + 1]) + "." +
               std::to_string(block[at + 2]) + "." + std::to_string(block[at + 3]);
    };
    std::string name;
    for (std::size_t i = 2; i < 34 && block[i] != 0; ++i) {
        name += (block[i] >= 0x20 && block[i] < 0x7F) ? static_cast<char>(block[i]) : '.';
    }
    char mac[18];
    std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", block[42], block[43], block[44],
                  block[45], block[46], block[47]);

    std::printf("WLAN information block, 95 bytes at register 0x106:\n");
    std::printf("  %-7s %-13s %-18s %s\n", "offset", "field", "value", "raw bytes");
    row("0", "marker", "0x" + raw_bytes(block, 1).substr(0, 2), 0, 1);
    row("1", "(not owned)", "", 1, 1);
    row("2-33", "name", "\"" + name + "\"", 2, 32);
    row("34", "mode", std::to_string(block[34]), 34, 1);
    row("35", "(zero)", std::to_string(block[35]), 35, 1);
    row("36", "channel", std::to_string(block[36]), 36, 1);
    row("37-41", "(not owned)", "", 37, 5);
    row("42-47", "uap0 address", mac, 42, 6);
    row("48-73", "(not owned)", "", 48, 26);
    row("74-77", "IPv4", ipv4(74), 74, 4);
    row("78-81", "subnet mask", ipv4(78), 78, 4);
    row("82-85", "IPv4", ipv4(82), 82, 4);
    row("86-89", "IPv4", ipv4(86), 86, 4);
    row("90-94", "(not owned)", "", 90, 5);

    const std::uint8_t* slot = image.data() + 0x40;
    const std::uint32_t tag = little_word(slot);
    std::printf("Status slot 0, 20 bytes at register 0x40:\n");
    std::printf(
        "  tag 0x%08X (event code %d), argument %u, state %u, reserved %u, result %d\n",
        static_cast<unsigned>(tag), static_cast<int>(static_cast<std::int16_t>(tag >> 16)),
        static_cast<unsigned>(little_word(slot + 4)), static_cast<unsigned>(little_word(slot + 8)),
        static_cast<unsigned>(little_word(slot + 12)), static_cast<int>(little_word(slot + 16)));
    std::printf("  raw bytes: %s\n", raw_bytes(slot, 20).c_str());
    std::printf("Update flag, 1 byte at register 0x20: %u\n", static_cast<unsigned>(image[0x20]));
}

// The program's descriptors and what they refer to.
std::string open_descriptors(pid_t pid) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    std::vector<int> fds;
    if (DIR* listing = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            if (entry->d_name[0] != '.') {
                fds.push_back(std::atoi(entry->d_name));
            }
        }
        ::closedir(listing);
    }
    std::sort(fds.begin(), fds.end());
    std::string text;
    for (const int fd : fds) {
        std::array<char, 4096> target{};
        const std::string link = dir + "/" + std::to_string(fd);
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size() - 1);
        text += std::to_string(fd) + " -> " + (length > 0 ? target.data() : "?") + "\n";
    }
    return text;
}

// Runs the program with the preload library, its output going to files in
// the work directory; returns how it ended.
std::string run_program(const options& opts) {
    const std::string out_path = opts.workdir + "/stdout";
    const std::string err_path = opts.workdir + "/stderr";
    const pid_t pid = ::fork();
    if (pid < 0) {
        fail("fork failed");
    }
    if (pid == 0) {
        const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) {
            ::_exit(126);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        // The program starts with its standard streams only, so what it holds
        // during its wait is its own.
        ::close_range(3, ~0U, 0);
        const char* existing = std::getenv("LD_PRELOAD");
        const std::string preload =
            std::string("libumockdev-preload.so.0") + (existing ? std::string(":") + existing : "");
        ::setenv("LD_PRELOAD", preload.c_str(), 1);
        ::execv(opts.program[0], opts.program.data());
        ::_exit(127);
    }

    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(opts.timeout_seconds);
    const auto sample_at = start + std::chrono::milliseconds(2500);
    bool sampled = false;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (!sampled && std::chrono::steady_clock::now() >= sample_at) {
            const std::string fds = open_descriptors(pid);
            write_file(opts.workdir + "/fds-at-2.5s", fds.data(), fds.size());
            sampled = true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return "timeout";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFSIGNALED(status)) {
        return "signal " + std::to_string(WTERMSIG(status));
    }
    return std::to_string(WEXITSTATUS(status));
}

}  // namespace

int main(int argc, char** argv) {
    const options opts = parse(argc, argv);
    // Without its private set-up a run would touch or depend on the host:
    // report why, or with --allow-host say what is left out and go on.
    const auto set_up_failed = [&](const std::string& why, const char* left_out) {
        const std::string message = "cannot set up " + why;
        write_file(opts.workdir + "/setup-error", message.data(), message.size());
        if (!opts.allow_host) {
            std::fprintf(stderr, "sdsw_emulator: %s\n", message.c_str());
            std::exit(EXIT_NO_PRIVATE_SETUP);
        }
        std::fprintf(stderr, "sdsw_emulator: %s; left out: %s\n", message.c_str(), left_out);
    };
    // Namespaces first: a process can only enter them while it has one thread.
    if (auto why = enter_private_namespaces()) {
        set_up_failed("a private namespace: " + *why,
                      "the virtual uap0 and the configuration at /mnt/mtd/config/config.qorv "
                      "(the program sees the host's)");
    } else {
        if (auto error = place_config(opts.config)) {
            set_up_failed("the configuration: " + *error,
                          "the configuration at /mnt/mtd/config/config.qorv (the program sees "
                          "the host's /mnt)");
        }
        if (opts.mac) {
            if (auto error = create_uap0(*opts.mac)) {
                set_up_failed("uap0: " + *error + " (a TAP interface needs a usable /dev/net/tun)",
                              "the virtual uap0 (the program reads a zero address)");
            }
        }
    }

    driver state;
    state.reject = opts.reject;
    if (opts.image) {
        const std::string bytes = read_file(*opts.image);
        if (bytes.size() != state.image.size()) {
            fail("register image must be " + std::to_string(state.image.size()) + " bytes");
        }
        std::memcpy(state.image.data(), bytes.data(), bytes.size());
    }

    UMockdevTestbed* testbed = umockdev_testbed_new();
    UMockdevIoctlBase* handler = nullptr;
    if (opts.device) {
        // "N: name=" gives the node file contents (one zero byte), so it is a plain file
        // rather than a terminal; the ioctl handler does the rest.
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(
                testbed, "P: /devices/ka_sdsw\nN: ka_sdsw=00\nE: SUBSYSTEM=misc\nA: dev=10:60\n",
                &error)) {
            fail(std::string("adding /dev/ka_sdsw: ") + (error ? error->message : "?"));
        }
        handler = umockdev_ioctl_base_new();
        g_signal_connect(handler, "handle-ioctl", G_CALLBACK(handle_ioctl), &state);
        if (!umockdev_testbed_attach_ioctl(testbed, "/dev/ka_sdsw", handler, &error)) {
            fail(std::string("attaching the driver: ") + (error ? error->message : "?"));
        }
    }

    const std::string ended = run_program(opts);

    {
        const std::lock_guard guard(state.lock);
        write_file(opts.workdir + "/exit", ended.data(), ended.size());
        write_file(opts.workdir + "/image.bin", state.image.data(), state.image.size());
        write_file(opts.workdir + "/requests.bin", state.requests.data(),
                   state.requests.size() * sizeof(request_entry));
    }
    if (opts.report) {
        print_report(state.image);
    }
    if (handler != nullptr) {
        umockdev_testbed_detach_ioctl(testbed, "/dev/ka_sdsw", nullptr);
        g_object_unref(handler);
    }
    g_object_unref(testbed);
    return 0;
}
