// Reading and writing numbers in a fixed byte order from unaligned bytes. Stored formats are
// big-endian unless a record says otherwise; these never assume alignment.
#pragma once

#include <cstdint>
#include <cstring>

inline std::uint16_t ReadBE16(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return std::uint16_t((b[0] << 8) | b[1]);
}
inline std::uint32_t ReadBE32(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
}
inline std::uint64_t ReadBE64(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return (std::uint64_t(ReadBE32(b)) << 32) | ReadBE32(b + 4);
}
inline std::uint16_t ReadLE16(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return std::uint16_t(b[0] | (b[1] << 8));
}
inline std::uint32_t ReadLE32(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
}
inline std::uint64_t ReadLE64(const void* p) {
    auto b = static_cast<const std::uint8_t*>(p);
    return std::uint64_t(ReadLE32(b)) | (std::uint64_t(ReadLE32(b + 4)) << 32);
}

inline void WriteBE16(void* p, std::uint16_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    b[0] = std::uint8_t(v >> 8);
    b[1] = std::uint8_t(v);
}
inline void WriteBE32(void* p, std::uint32_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    b[0] = std::uint8_t(v >> 24);
    b[1] = std::uint8_t(v >> 16);
    b[2] = std::uint8_t(v >> 8);
    b[3] = std::uint8_t(v);
}
inline void WriteBE64(void* p, std::uint64_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    WriteBE32(b, std::uint32_t(v >> 32));
    WriteBE32(b + 4, std::uint32_t(v));
}
inline void WriteLE16(void* p, std::uint16_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    b[0] = std::uint8_t(v);
    b[1] = std::uint8_t(v >> 8);
}
inline void WriteLE32(void* p, std::uint32_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    for (int i = 0; i < 4; ++i) b[i] = std::uint8_t(v >> (8 * i));
}
inline void WriteLE64(void* p, std::uint64_t v) {
    auto b = static_cast<std::uint8_t*>(p);
    for (int i = 0; i < 8; ++i) b[i] = std::uint8_t(v >> (8 * i));
}

// In-place conversion of a field between host order and big-endian file order. The same call
// converts in both directions; records use these in their to-file / from-file pairs.
template <typename T>
inline void SwapBigEndianInPlace(T& field) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);
    if constexpr (sizeof(T) > 1) {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &field, sizeof(T));
        // Host is little-endian on every platform we build for.
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
            unsigned char t = b[i];
            b[i] = b[sizeof(T) - 1 - i];
            b[sizeof(T) - 1 - i] = t;
        }
        std::memcpy(&field, b, sizeof(T));
    }
}
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the in-place swaps assume a little-endian host");
