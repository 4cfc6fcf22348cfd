// The emulated driver's register space.
#pragma once

#include <array>
#include <cstdint>

namespace uws::test {

inline constexpr std::size_t REGISTER_SPACE_SIZE = 0x10000;
using register_image = std::array<std::uint8_t, REGISTER_SPACE_SIZE>;

}  // namespace uws::test
