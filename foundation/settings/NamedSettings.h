// A 276-byte named settings block (the page header and footer settings of printing): a
// 256-byte length-prefixed text, then ten 16-bit values.
#pragma once

#include <cstddef>

inline constexpr std::size_t kNamedSettingsSize = 276;
inline constexpr std::size_t kNamedSettingsTextSize = 256;
inline constexpr int kNamedSettingsValueCount = 10;

// Copies the block from source to destination (they may be the same), converting the ten
// 16-bit values between memory and big-endian order (each one's two bytes exchanged). The
// whole text is copied, its last byte included.
void SwapNamedSettings(const void* source, void* destination);
