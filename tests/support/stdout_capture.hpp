// Captures what the code under test writes to standard output (C stdio and
// the descriptor alike) between construction and `text()`.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace uws::test {

class stdout_capture {
public:
    stdout_capture() : file_(std::tmpfile()) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        ::dup2(::fileno(file_), STDOUT_FILENO);
    }
    ~stdout_capture() { restore(); }
    stdout_capture(const stdout_capture&) = delete;
    stdout_capture& operator=(const stdout_capture&) = delete;

    // Ends the capture and returns everything written since it began.
    std::string text() {
        restore();
        std::string captured;
        std::rewind(file_);
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) {
            captured.append(chunk, got);
        }
        return captured;
    }

private:
    void restore() {
        if (saved_ < 0) {
            return;
        }
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    std::FILE* file_;
    int saved_ = -1;
};

}  // namespace uws::test
