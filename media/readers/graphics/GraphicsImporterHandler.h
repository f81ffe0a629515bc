// The graphics-importer family (handler 1): every still-image kind the platform's importers
// read. It registers one kind per importer, keeps one open importer per kind for the whole
// run (lent to one reading at a time; concurrent readings get their own), and reads
// information, metadata and thumbnails through them, falling back on the program's own JPEG
// reader when the importer refuses a JPEG file.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GraphicsImporter.h"

// Start-up registration from the platform's importer table.
void KindRegisterGraphicsImporters();
// The registration rules over a list of importers (the importer list is rebuilt from it).
void KindRegisterGraphicsImporterList(const GraphicsImporterComponentInfo* list, int count);
// Closes every open importer (engine shutdown).
void GraphicsImporterListShutdown();
inline constexpr int kImporterListCapacity = 200;
int GraphicsImporterListCount();

// The open importer of the type, pointed at the file (or, without a file, at the data):
// -8961 when no importer serves the type, -8969 when it does not accept the data. The list's
// importer is lent when no other reading uses it, else a new one is made; ImporterRelease lets
// go of the file and gives the importer back (or closes the new one). Safe on any thread.
OSErr ImporterOpen(OSType type, const FSSpec* spec, Handle data, GraphicsImportComponent* out);
void ImporterRelease(GraphicsImportComponent gi);

// The file's metadata into the list by its codec (or kind) type, the embedded colour profile
// to *profile, and, when picture is given and still empty, a preview picture stored in the
// file. The resolution of Photoshop resources goes into info.
OSErr ImporterReadMetadata(const FSSpec* spec, OSType codecType, KindInfoRec* info, UserData metadata, Handle* profile,
                           PicHandle* picture);

// Draws the importer's image (image index corrected in place: 0 or past the last image become
// 1) into a new 32-bit offscreen of at most size x size (kKindDisplaySize: its own size, held
// within 8192 pixels a side). The source profile is the file's unless the engine's settings
// say otherwise; for information reading an RGB profile is handed out in *deferredProfile to
// be matched after scaling, otherwise the pixels are matched to the display at once.
OSErr ImporterDrawImage(GraphicsImportComponent gi, OSType codecType, SInt32 size, UInt32* imageIndex,
                        Handle* deferredProfile, GWorldPtr* out);
// The source profile of the file by the engine's settings (a new handle or null).
Handle ImporterSourceProfile(GraphicsImportComponent gi);

OSErr GraphicsImporterGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                              UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr GraphicsImporterMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                    UInt32* imageIndex, UInt16 orientation);
