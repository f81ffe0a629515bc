// Graphics exporters: our table of the still-image formats the program writes (standing for
// the exporter components a QuickTime installation lists), and exporter instances that write
// a world into a file of that format. Files are replaced whole: the new bytes go to a
// temporary file that takes the old one's place only when complete.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <string>
#include <vector>

struct GraphicsExporterComponentInfo {
    OSType subtype;          // the format's file type
    OSType manufacturer;
    const char* name;
    const char* extension;   // the usual file name extension, lower case
    const char* library;     // what encodes it
};

int CountGraphicsExporterComponents();
const GraphicsExporterComponentInfo* GetGraphicsExporterComponent(int index);
const GraphicsExporterComponentInfo* FindGraphicsExporterComponent(OSType subtype);

struct GraphicsExporterRec;
using GraphicsExportComponent = GraphicsExporterRec*;

// -8961 when no exporter of that subtype exists.
OSErr OpenGraphicsExporter(OSType subtype, GraphicsExportComponent* out);
void CloseGraphicsExporter(GraphicsExportComponent ge);
// The 32-bit world to write (it stays the caller's).
OSErr GraphicsExportSetInputGWorld(GraphicsExportComponent ge, GWorldPtr world);
OSErr GraphicsExportSetOutputFile(GraphicsExportComponent ge, const std::string& path);
// Compression quality codecMinQuality..codecMaxQuality (JPEG); codecHighQuality by default.
OSErr GraphicsExportSetCompressionQuality(GraphicsExportComponent ge, std::uint32_t quality);
// Dots per inch written into the file (72 by default).
OSErr GraphicsExportSetResolution(GraphicsExportComponent ge, Fixed horizontal, Fixed vertical);
// An ICC profile embedded in the file (JPEG, PNG, TIFF); the bytes are copied.
OSErr GraphicsExportSetColorSyncProfile(GraphicsExportComponent ge, Handle profile);
// Encodes the world into memory (for callers that place the bytes themselves).
OSErr GraphicsExportToBytes(GraphicsExportComponent ge, std::vector<std::uint8_t>* bytes);
// Writes the file; bytesWritten (may be null) receives its size.
OSErr GraphicsExportDoExport(GraphicsExportComponent ge, std::uint32_t* bytesWritten);
