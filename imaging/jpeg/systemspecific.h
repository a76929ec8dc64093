#pragma once
// Byte-order conversion for the big-endian fields of JPEG marker segments.

#include <bit>
#include <cstdint>

namespace systemspecific {

// The 16-bit value laid out in memory most significant byte first.
constexpr uint16_t HostToBigEndian(uint16_t value)
{
    if constexpr (std::endian::native == std::endian::big)
        return value;
    else
        return static_cast<uint16_t>((value >> 8) | (value << 8));
}

} // namespace systemspecific
