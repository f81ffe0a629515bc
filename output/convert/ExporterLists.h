// The lists of export formats the conversion dialogs offer, one per media kind: images through
// our graphics exporters, sounds and movies through the FFmpeg formats the machine can write.
// Each list is gathered once, on first use, and kept until FreeExporterLists. Positions are
// 1-based and not range-checked: callers pass 1..count.
#pragma once

#include "platform/MacTypes.h"

#include <vector>

// One offered format: its four-character code and its display name.
struct ExporterEntry {
    OSType subType;
    Str255 name;
};
static_assert(sizeof(ExporterEntry) == 260);

// What selects a list's exporters, as the three descriptions below fill it.
struct ComponentDescription {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
};

// Images: type 'grex', the base exporter left out (flag bit 0 clear).
ComponentDescription GraphicsExporterDescription(OSType subType);
// Sounds and movies: type 'spit', manufacturer 'soun' or 'appl', exporting to files with a
// settings dialog (flags 0x30 under mask 0x30).
ComponentDescription SoundExporterDescription(OSType subType);
ComponentDescription MovieExporterDescription(OSType subType);

class CExporterList {
public:
    explicit CExporterList(const ComponentDescription& description);
    virtual ~CExporterList() = default;

    SInt32 Count() const { return SInt32(entries_.size()); }
    const ExporterEntry& At(SInt32 position) const { return entries_[std::size_t(position - 1)]; }
    const ComponentDescription& Description() const { return description_; }
    // The position of the sub-type (from 1); 0 when the list does not hold it.
    SInt32 PositionOf(OSType subType) const;

private:
    void Fill();

    std::vector<ExporterEntry> entries_;
    ComponentDescription description_;
};

CExporterList* GetImageExporters();
CExporterList* GetSoundExporters();
CExporterList* GetMovieExporters();

SInt32 GetImageExporterCount();
OSType GetImageExporterType(SInt32 position);
ConstStringPtr GetImageExporterName(SInt32 position);
SInt32 GetSoundExporterCount();
OSType GetSoundExporterType(SInt32 position);
ConstStringPtr GetSoundExporterName(SInt32 position);
SInt32 GetMovieExporterCount();
OSType GetMovieExporterType(SInt32 position);
ConstStringPtr GetMovieExporterName(SInt32 position);

// Deletes the image, sound and movie lists; the next request builds them again.
void FreeExporterLists();

// The stored choice of a format: the position whose sub-type is the stored one, else the stored
// position when it is in range, else 1 (0 for an empty list). Sub-type first, since the
// machine's formats may change between runs and shift the positions.
SInt32 FindStoredExporter(const CExporterList* list, OSType subType, UInt32 storedPosition);
