// Shrinks an image that arrives row by row into a smaller size by averaging the area each
// target pixel covers. Memory is one target image plus one row of sums, whatever the source
// size, which is what keeps a thumbnail of a very large image cheap.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

class RowResampler {
public:
    // Source srcW x srcH into dstW x dstH (each not larger than the source), `channels`
    // bytes a pixel (1 to 4), written into dst with the given stride.
    OSErr Init(std::int32_t srcW, std::int32_t srcH, std::int32_t dstW, std::int32_t dstH,
               int channels, std::uint8_t* dst, std::ptrdiff_t dstStride);
    // Source rows in order from 0.
    void PushRow(const std::uint8_t* row);
    // Writes out what the rows so far cover; target rows no source row reached stay as they were.
    void Finish();

private:
    void EmitRow();
    std::int32_t srcW_ = 0, srcH_ = 0, dstW_ = 0, dstH_ = 0;
    int channels_ = 0;
    std::uint8_t* dst_ = nullptr;
    std::ptrdiff_t dstStride_ = 0;
    // Horizontal plan: for each source column, its first target column and the weight (in
    // units where a source pixel is dstW wide) that falls there; the rest goes to the next.
    std::vector<std::int32_t> colTarget_;
    std::vector<std::uint32_t> colWeight_;
    std::vector<std::uint32_t> hsum_;   // one source row reduced to dstW pixels
    std::vector<std::uint64_t> vsum_;   // the target row being gathered
    std::int32_t srcRow_ = 0;
    std::int32_t dstRow_ = 0;
    bool identity_ = false;
    bool rowHasData_ = false;
};
