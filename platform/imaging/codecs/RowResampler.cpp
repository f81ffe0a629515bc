#include "platform/imaging/codecs/RowResampler.h"

#include <algorithm>
#include <cstring>

OSErr RowResampler::Init(std::int32_t srcW, std::int32_t srcH, std::int32_t dstW, std::int32_t dstH,
                         int channels, std::uint8_t* dst, std::ptrdiff_t dstStride) {
    if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0 || dstW > srcW || dstH > srcH ||
        channels < 1 || channels > 4 || !dst)
        return paramErr;
    srcW_ = srcW;
    srcH_ = srcH;
    dstW_ = dstW;
    dstH_ = dstH;
    channels_ = channels;
    dst_ = dst;
    dstStride_ = dstStride;
    srcRow_ = 0;
    dstRow_ = 0;
    rowHasData_ = false;
    identity_ = srcW == dstW && srcH == dstH;
    if (identity_) return noErr;
    try {
        colTarget_.resize(std::size_t(srcW));
        colWeight_.resize(std::size_t(srcW));
        hsum_.assign(std::size_t(dstW) * channels, 0);
        vsum_.assign(std::size_t(dstW) * channels, 0);
    } catch (...) {
        return memFullErr;
    }
    // Source column i spans [i*dstW, (i+1)*dstW); target column j spans [j*srcW, (j+1)*srcW).
    for (std::int32_t i = 0; i < srcW; ++i) {
        std::int64_t start = std::int64_t(i) * dstW;
        std::int64_t end = start + dstW;
        std::int32_t j = std::int32_t(start / srcW);
        std::int64_t boundary = std::int64_t(j + 1) * srcW;
        colTarget_[i] = j;
        colWeight_[i] = std::uint32_t(end <= boundary ? dstW : boundary - start);
    }
    return noErr;
}

void RowResampler::PushRow(const std::uint8_t* row) {
    if (srcRow_ >= srcH_ || dstRow_ >= dstH_) return;
    if (identity_) {
        std::memcpy(dst_ + std::ptrdiff_t(srcRow_) * dstStride_, row, std::size_t(srcW_) * channels_);
        ++srcRow_;
        return;
    }
    // Reduce the row horizontally: each target sum has total weight srcW.
    std::fill(hsum_.begin(), hsum_.end(), 0u);
    const int c = channels_;
    for (std::int32_t i = 0; i < srcW_; ++i) {
        std::int32_t j = colTarget_[i];
        std::uint32_t w = colWeight_[i];
        std::uint32_t rest = std::uint32_t(dstW_) - w;
        const std::uint8_t* px = row + std::size_t(i) * c;
        std::uint32_t* a = &hsum_[std::size_t(j) * c];
        for (int k = 0; k < c; ++k) a[k] += px[k] * w;
        if (rest) {
            std::uint32_t* b = a + c;
            for (int k = 0; k < c; ++k) b[k] += px[k] * rest;
        }
    }
    // Spread it vertically: source row r spans [r*dstH, (r+1)*dstH), target row t spans
    // [t*srcH, (t+1)*srcH).
    std::int64_t start = std::int64_t(srcRow_) * dstH_;
    std::int64_t end = start + dstH_;
    while (start < end && dstRow_ < dstH_) {
        std::int64_t boundary = std::int64_t(dstRow_ + 1) * srcH_;
        std::int64_t piece = (end <= boundary ? end : boundary) - start;
        for (std::size_t k = 0; k < vsum_.size(); ++k) vsum_[k] += std::uint64_t(hsum_[k]) * piece;
        rowHasData_ = true;
        start += piece;
        if (start >= boundary) EmitRow();
    }
    ++srcRow_;
}

void RowResampler::EmitRow() {
    std::uint64_t total = std::uint64_t(srcW_) * std::uint64_t(srcH_);
    std::uint8_t* out = dst_ + std::ptrdiff_t(dstRow_) * dstStride_;
    for (std::size_t k = 0; k < vsum_.size(); ++k) {
        std::uint64_t v = (vsum_[k] + total / 2) / total;
        out[k] = std::uint8_t(v > 255 ? 255 : v);
        vsum_[k] = 0;
    }
    rowHasData_ = false;
    ++dstRow_;
}

void RowResampler::Finish() {
    if (identity_) return;
    // A source that ended early: the partly gathered row is scaled by what it received.
    if (rowHasData_ && dstRow_ < dstH_) {
        std::int64_t received = std::int64_t(srcRow_) * dstH_ - std::int64_t(dstRow_) * srcH_;
        if (received > 0) {
            std::uint64_t total = std::uint64_t(srcW_) * std::uint64_t(received);
            std::uint8_t* out = dst_ + std::ptrdiff_t(dstRow_) * dstStride_;
            for (std::size_t k = 0; k < vsum_.size(); ++k) {
                std::uint64_t v = (vsum_[k] + total / 2) / total;
                out[k] = std::uint8_t(v > 255 ? 255 : v);
            }
        }
        rowHasData_ = false;
    }
}
