// Configuration lookup: the scan over the file and the value extraction.
#include "config_lookup.hpp"

#include <cstdio>
#include <cstring>

namespace uws {
namespace {

// Closes the configuration file on every path out of a lookup.
class config_file {
public:
    explicit config_file(const char* path) : file_(std::fopen(path, "r")) {}
    ~config_file() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    config_file(const config_file&) = delete;
    config_file& operator=(const config_file&) = delete;
    config_file(config_file&&) = delete;
    config_file& operator=(config_file&&) = delete;

    [[nodiscard]] std::FILE* get() const { return file_; }

private:
    std::FILE* file_;
};

// Copies the zero-terminated string in `from` into `to`, terminator included;
// bytes of `to` after the terminator keep their values.
void copy_string(std::span<const char, CONFIG_LINE_MAX> from, std::span<char, CONFIG_LINE_MAX> to) {
    const std::size_t length = ::strnlen(from.data(), from.size() - 1);
    std::memcpy(to.data(), from.data(), length);
    to[length] = '\0';
}

}  // namespace

int config_extract_value(std::string_view key, const char* line,
                         std::span<char, CONFIG_LINE_MAX> out) {
    config_value value{};
    const std::string_view text(line, ::strnlen(line, CONFIG_LINE_MAX - 1));
    const std::size_t start = key.size() + CONFIG_SEPARATOR_SIZE;
    // A line that ends before the value's first index has an empty value.
    if (start <= text.size()) {
        std::memcpy(value.data(), text.data() + start, text.size() - start);
    }
    std::printf("len of newsub = %d\n", static_cast<int>(std::strlen(value.data())));

    // The value ends at its first line-ending byte.
    const std::size_t end = std::strcspn(value.data(), "\r\n");
    value[end] = '\0';

    copy_string(value, out);
    return 0;
}

int config_lookup_in(const char* path, std::string_view key, std::span<char, CONFIG_LINE_MAX> out) {
    config_value value{};
    const config_file file(path);
    if (file.get() == nullptr) {
        std::puts("Can not read config.qorv");
        return 0;
    }

    config_value line{};
    while (std::feof(file.get()) == 0) {
        // A read error, like the end of the file, ends the scan without a
        // match; a line that could only be read in part is dropped.
        if (std::fgets(line.data(), static_cast<int>(line.size()), file.get()) == nullptr) {
            break;
        }
        const std::string_view text(line.data());
        if (text.find(key) != std::string_view::npos) {
            config_extract_value(key, line.data(), value);
            copy_string(value, out);
            std::printf("Finding:\"%.*s\": Got: \"%s\"\n", static_cast<int>(key.size()), key.data(),
                        out.data());
            break;
        }
    }
    return 0;
}

int config_lookup(std::string_view key, std::span<char, CONFIG_LINE_MAX> out) {
    return config_lookup_in(CONFIG_PATH, key, out);
}

}  // namespace uws
