// PackBits run-length coding, as QuickDraw pictures, MacPaint and Photoshop files use it: a
// count byte n, then n + 1 literal bytes (n 0..127) or one byte repeated 1 - n times
// (n -127..-1); -128 is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Unpacks into out until `outSize` bytes are produced or the input ends. Answers the number of
// input bytes consumed; `produced` receives the number of bytes written. Never writes past out.
std::size_t UnpackBits(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                       std::size_t* produced);
// The 16-bit variant of 16-bit pixel maps: counts are in words.
std::size_t UnpackBitsWords(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                            std::size_t* produced);
// Appends the packed form of the bytes.
void PackBits(const std::uint8_t* in, std::size_t n, std::vector<std::uint8_t>* out);
