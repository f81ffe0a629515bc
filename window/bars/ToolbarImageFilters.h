// The filters that make the tool bar's normal and disabled images from its artwork: grey
// ((3R + 6G + B) / 10) and lightness steps in HLS, applied pixel by pixel to 32-bit pixels
// (0x00RRGGBB). The transparent colour (magenta unless told otherwise) passes through every
// filter untouched, so the mask made from it stays exact.
#pragma once

#include <cstdint>
#include <vector>

struct HlsColour {
    double h = 0, l = 0, s = 0;   // hue 0..360, lightness and saturation 0..1
};
HlsColour RgbToHls(std::uint8_t r, std::uint8_t g, std::uint8_t b);
void HlsToRgb(const HlsColour& hls, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b);

// The base of a filter: it may change the size of the image (it does not here) and processes
// the pixels in place; a pixel equal to the transparent colour is left alone.
class C32BitImageProcessor {
public:
    explicit C32BitImageProcessor(bool keepTransparent = true, std::uint32_t transparent = 0xFF00FF)
        : keepTransparent_(keepTransparent), transparent_(transparent) {}
    virtual ~C32BitImageProcessor() = default;
    virtual void CalcDestSize(int width, int height, int* outWidth, int* outHeight) const {
        *outWidth = width;
        *outHeight = height;
    }
    // False when the filter could not run (the pixels are then unchanged).
    bool ProcessPixels(std::vector<std::uint32_t>* pixels) const;

protected:
    virtual std::uint32_t ProcessPixel(std::uint32_t rgb) const = 0;

private:
    bool keepTransparent_;
    std::uint32_t transparent_;
};

class CImageGrayer : public C32BitImageProcessor {
protected:
    std::uint32_t ProcessPixel(std::uint32_t rgb) const override;
};

// Lightness moved by delta (-1..1), kept inside 0..1.
class CImageHigh : public C32BitImageProcessor {
public:
    explicit CImageHigh(double delta) : delta_(delta) {}

protected:
    std::uint32_t ProcessPixel(std::uint32_t rgb) const override;

private:
    double delta_;
};

// Runs the filters in order; stops (leaving the pixels as the last good filter left them) at
// the first that fails.
bool ProcessImageChain(std::vector<std::uint32_t>* pixels, const std::vector<const C32BitImageProcessor*>& chain);

// The tool bar's two looks: normal images lightened twice by 0.04; disabled ones grey, then
// lightened three times by 0.08.
void MakeNormalToolbarPixels(std::vector<std::uint32_t>* pixels);
void MakeDisabledToolbarPixels(std::vector<std::uint32_t>* pixels);
