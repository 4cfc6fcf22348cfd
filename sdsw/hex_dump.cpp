#include "hex_dump.hpp"

namespace uws {

namespace {
constexpr const char* HEX_DUMP_BANNER = "=====================================================";
}

void hex_dump(std::FILE* out, std::span<const std::uint8_t> bytes) {
    std::fprintf(out, "\n%s\n0000: ", HEX_DUMP_BANNER);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::fprintf(out, "%02X ", static_cast<unsigned>(bytes[i]));
        if (i % HEX_DUMP_ROW_BYTES == HEX_DUMP_ROW_BYTES - 1 && i + 1 < bytes.size()) {
            std::fprintf(out, "\n%04zx: ", i + 1);
        }
    }
    std::fprintf(out, "\n%s\n", HEX_DUMP_BANNER);
}

}  // namespace uws
