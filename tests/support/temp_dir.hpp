// A temporary directory removed with its files when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace uws::test {

class temp_dir {
public:
    temp_dir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "uws-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~temp_dir() { std::filesystem::remove_all(path_); }
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    // Writes `contents` byte for byte to `name` inside the directory.
    std::filesystem::path write(const std::string& name, std::string_view contents) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary)
            .write(contents.data(), static_cast<std::streamsize>(contents.size()));
        return file;
    }

private:
    std::filesystem::path path_;
};

}  // namespace uws::test
