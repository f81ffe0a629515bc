// Operations on offscreen worlds and QuickDraw pictures that the readers, the thumbnail maker,
// the presenters and the views share. 32-bit worlds hold their pixels as bytes blue, green,
// red and a fourth byte, in every 32-bit format.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

#include <cstdint>

// A new world of the pixel format (0 the screen's depth, 32, 'BGRA', or a depth) and bounds.
OSErr OffscreenNew(GWorldPtr* out, OSType pixelFormat, const Rect* bounds);
// A new world painted in the colour; -108 (and no world) when its pixels cannot be had.
OSErr OffscreenNewFilled(GWorldPtr* out, OSType pixelFormat, const Rect* bounds, const RGBColor* color);
// A new 32-bit world from packed rows of red, green, blue bytes; the fourth byte is 0.
OSErr OffscreenFromRGB24(GWorldPtr* out, std::int32_t width, std::int32_t height, const std::uint8_t* bytes);
// Copies rowLength bytes of each of rowCount packed rows into the world's rows. For 32-bit
// worlds the bytes are in the order of the world's format (alpha, red, green, blue for 32).
void OffscreenWriteRows(GWorldPtr world, const std::uint8_t* bytes, std::int32_t rowLength, std::int32_t rowCount);
std::int16_t OffscreenGetPixelSize(GWorldPtr world);
// The dispose procedure handed to code that gives worlds back through a callback: disposes the
// world when one is given (the first argument is the caller's and unused); answers 0.
OSErr DisposeGWorldCallback(void* refCon, GWorldPtr world);
// A new world of the rectangle's size holding that part of the source (format 0 = the source's).
GWorldPtr OffscreenCropCopy(GWorldPtr source, const Rect* rect, OSType pixelFormat);
OSErr OffscreenCrop(GWorldPtr* out, GWorldPtr source, const Rect* rect);
// Draws the source rectangle of one world onto the destination rectangle of another, scaled
// (through a smooth filter when shrinking), in port coordinates of each; null rectangles mean
// the whole ports. quality 0 normal, 1 high, other best.
OSErr OffscreenDrawImage(GWorldPtr source, GWorldPtr destination, const Rect* srcRect, const Rect* dstRect,
                         int quality);
// Copies between worlds as the window copy does: equal sizes pixel for pixel, else scaled.
void OffscreenDrawToWindow(GWorldPtr source, GWorldPtr destination, const Rect* srcRect, const Rect* dstRect);
// Inverts the colours of the rectangle (the whole world when null).
OSErr OffscreenInvert(GWorldPtr world, const Rect* rect);
// A one-pixel border in the colour around the whole port.
OSErr OffscreenFrame(GWorldPtr world, const RGBColor* color);

// Visits every pixel of a 32-bit world: (refCon, x, y, red, green, blue, alpha). Worlds of
// other depths are left alone.
using OffscreenPixelProc = void (*)(void* refCon, std::int32_t x, std::int32_t y, std::uint8_t red,
                                    std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
void OffscreenForEachPixel(GWorldPtr world, OffscreenPixelProc proc, void* refCon);

// The picture's frame, in host order. With no picture the rectangle is left as it was.
void PictureGetFrame(PicHandle picture, Rect* frame);
// Draws the picture at its frame size into a new world filled with the background colour (or
// white), then stretched to the final rectangle when one is given and differs. -50 without a
// picture, -11005 for an empty frame, -108 when the world cannot be made.
OSErr PictureToOffscreen(PicHandle picture, OSType pixelFormat, const Rect* finalRect, const RGBColor* background,
                         GWorldPtr* out);
// Records a world as a picture at the resolution (both axes), shrunk to fit the size when one
// is given and differs. 25 when the world cannot be recorded.
OSErr OffscreenToPicture(GWorldPtr world, const Rect* size, Fixed resolution, PicHandle* out);

enum : OSErr { kPictureEmptyFrameErr = -11005, kPictureRecordErr = 25 };

// A new world holding the source shrunk to fit the size (never enlarged, proportions kept,
// moved to the origin), in the format (0 = the source's); a same-size copy without a size.
// Null for a null source or on failure.
GWorldPtr OffscreenScaledCopy(GWorldPtr source, const Rect* size, OSType pixelFormat);
