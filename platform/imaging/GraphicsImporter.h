// Graphics importers: our table of the still-image formats the program reads (standing for
// the importer components a QuickTime installation lists) and importer instances that read
// one image from a file or a handle: its description, profile, image count, and its pixels
// drawn into a world at any size.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/ImageDescription.h"

#include <cstdint>
#include <memory>
#include <string>

class ImageDecoder;

struct GraphicsImporterComponentInfo {
    OSType subtype;          // the file type the importer reads
    OSType manufacturer;
    const char* name;        // as the component names itself
    const char* extensions;  // file name extensions, blank-separated, lower case
    const char* library;     // what decodes it
    std::unique_ptr<ImageDecoder> (*makeDecoder)();
};

int CountGraphicsImporterComponents();
// Index from 0; null past the end.
const GraphicsImporterComponentInfo* GetGraphicsImporterComponent(int index);
const GraphicsImporterComponentInfo* FindGraphicsImporterComponent(OSType subtype);

// Transfer modes of the importer's drawing.
enum : std::int32_t {
    srcCopy = 0,
    ditherCopy = 64,
    graphicsModeStraightAlpha = 256,
    graphicsModeStraightAlphaBlend = 257,
    graphicsModePreBlackAlpha = 258,
    graphicsModePreWhiteAlpha = 259,
};

struct GraphicsImporterRec;
using GraphicsImportComponent = GraphicsImporterRec*;

// -8961 when no importer of that subtype exists.
OSErr OpenGraphicsImporter(OSType subtype, GraphicsImportComponent* out);
// Picks the importer for a file: first those whose extensions name the file's, then any whose
// decoder recognises the first bytes; the importer is pointed at the file. -8970 when none.
OSErr GetGraphicsImporterForFile(const std::string& path, GraphicsImportComponent* out);
// Same for data in a handle (by its first bytes only).
OSErr GetGraphicsImporterForHandle(Handle data, GraphicsImportComponent* out);
void CloseGraphicsImporter(GraphicsImportComponent gi);

OSType GraphicsImportGetSubtype(GraphicsImportComponent gi);
// Points the importer at a file (-43 when it cannot be opened) or at data in a handle (the
// handle stays the caller's and must live while the importer uses it).
OSErr GraphicsImportSetDataFile(GraphicsImportComponent gi, const std::string& path);
OSErr GraphicsImportSetDataHandle(GraphicsImportComponent gi, Handle data);
// Whether the data is an image the importer can read (its header is sound).
OSErr GraphicsImportValidate(GraphicsImportComponent gi, bool* valid);
OSErr GraphicsImportGetImageCount(GraphicsImportComponent gi, std::uint32_t* count);
// Selects the image (from 1) that later calls describe and draw.
OSErr GraphicsImportSetImageIndex(GraphicsImportComponent gi, std::uint32_t index);
// A new handle with the image's description (host order) that the caller disposes of.
OSErr GraphicsImportGetImageDescription(GraphicsImportComponent gi, ImageDescriptionHandle* desc);
OSErr GraphicsImportGetImageDescriptionRec(GraphicsImportComponent gi, ImageDescriptionRec* desc);
// The natural bounds; an image larger than a Rect holds is answered shrunk to fit 32767.
OSErr GraphicsImportGetNaturalBounds(GraphicsImportComponent gi, Rect* bounds);
// The image's size in pixels, whatever it is.
OSErr GraphicsImportGetImageSize(GraphicsImportComponent gi, std::int32_t* width, std::int32_t* height);
// The embedded colour profile in a new handle, or null (and noErr) when there is none.
OSErr GraphicsImportGetColorSyncProfile(GraphicsImportComponent gi, Handle* profile);
// Whether the image has an alpha channel.
bool GraphicsImportHasAlpha(GraphicsImportComponent gi);
// The transfer mode the image asks for: straight alpha for an image with an alpha channel,
// else source copy.
std::int32_t GraphicsImportDefaultGraphicsMode(GraphicsImportComponent gi);

// Where Draw puts the image (port coordinates of the world); the natural bounds until set.
OSErr GraphicsImportSetBoundsRect(GraphicsImportComponent gi, const Rect* bounds);
OSErr GraphicsImportGetBoundsRect(GraphicsImportComponent gi, Rect* bounds);
OSErr GraphicsImportSetGWorld(GraphicsImportComponent gi, GWorldPtr world);
// Alpha modes blend the image over what the world holds; the others copy it.
OSErr GraphicsImportSetGraphicsMode(GraphicsImportComponent gi, std::int32_t mode, const RGBColor* opColor);
// Damaged data that the format's library only warns about fails the draw unless lenient.
void GraphicsImportSetLenient(GraphicsImportComponent gi, bool lenient);
// Decodes the image into the world at the bounds, scaled. 32-bit worlds receive colour,
// 'cmyk' worlds CMYK and grey worlds grey levels, converted plainly when the image differs.
OSErr GraphicsImportDraw(GraphicsImportComponent gi);
