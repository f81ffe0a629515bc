// One picture converted into a file of another format: the source drawn at its own size (or
// no larger than the fit box needs, which lets JPEG sources decode at a reduced scale), scaled
// to fit the box when asked (larger or smaller, proportions kept), encoded by the format's
// exporter at the chosen quality and resolution, with the source's colour profile and its
// EXIF, IPTC and XMP metadata when asked.
#pragma once

#include "output/convert/ConvertOptions.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

// Writes file (which exists, and is rewritten) from source. sourceKind is the source's kind
// type, sourceResolution its dots per inch (0 unknown). On failure *reason (may be null) says
// why: 28 the source could not be drawn, 29 not scaled, 27 not encoded or written.
OSErr ConvertPictureFile(const FSSpec& source, OSType sourceKind, UInt32 sourceResolution,
                         const ConvertOptionsRec& options, const ExporterSettings& settings, OSType format,
                         const FSSpec& file, int* reason);
