#include "output/convert/ExporterLists.h"

#include "foundation/text/PString.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/movies/MovieExportTable.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

CExporterList* gImages = nullptr;
CExporterList* gSounds = nullptr;
CExporterList* gMovies = nullptr;

CExporterList* Get(CExporterList*& slot, const ComponentDescription& description) {
    if (!slot) slot = new (std::nothrow) CExporterList(description);
    return slot;
}

ExporterEntry MakeEntry(OSType subType, const char* name) {
    ExporterEntry e{};
    e.subType = subType;
    PStrFromBytes(e.name, name, long(std::min<std::size_t>(std::strlen(name), 255)));
    return e;
}

}  // namespace

ComponentDescription GraphicsExporterDescription(OSType subType) { return {'grex', subType, 0, 0, 1}; }
ComponentDescription SoundExporterDescription(OSType subType) {
    return {'spit', subType, 'soun', kMovieExportFileFlags, kMovieExportFileFlags};
}
ComponentDescription MovieExporterDescription(OSType subType) {
    return {'spit', subType, 'appl', kMovieExportFileFlags, kMovieExportFileFlags};
}

CExporterList::CExporterList(const ComponentDescription& description) : description_(description) { Fill(); }

void CExporterList::Fill() {
    const OSType wanted = description_.componentSubType;
    if (description_.componentType == 'grex') {
        // Our graphics exporters are all format exporters: there is no base exporter to leave out.
        for (int i = 0; i < CountGraphicsExporterComponents(); ++i) {
            const auto* c = GetGraphicsExporterComponent(i);
            if (wanted && c->subtype != wanted) continue;
            entries_.push_back(MakeEntry(c->subtype, c->name));
        }
        return;
    }
    for (const auto* c : FindMovieExportComponents(description_.componentManufacturer, wanted))
        if (c->subtype != 'snd ') entries_.push_back(MakeEntry(c->subtype, c->name));
}

SInt32 CExporterList::PositionOf(OSType subType) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].subType == subType) return SInt32(i + 1);
    return 0;
}

CExporterList* GetImageExporters() { return Get(gImages, GraphicsExporterDescription(0)); }
CExporterList* GetSoundExporters() { return Get(gSounds, SoundExporterDescription(0)); }
CExporterList* GetMovieExporters() { return Get(gMovies, MovieExporterDescription(0)); }

SInt32 GetImageExporterCount() { return GetImageExporters() ? GetImageExporters()->Count() : 0; }
OSType GetImageExporterType(SInt32 position) { return GetImageExporters()->At(position).subType; }
ConstStringPtr GetImageExporterName(SInt32 position) { return GetImageExporters()->At(position).name; }
SInt32 GetSoundExporterCount() { return GetSoundExporters() ? GetSoundExporters()->Count() : 0; }
OSType GetSoundExporterType(SInt32 position) { return GetSoundExporters()->At(position).subType; }
ConstStringPtr GetSoundExporterName(SInt32 position) { return GetSoundExporters()->At(position).name; }
SInt32 GetMovieExporterCount() { return GetMovieExporters() ? GetMovieExporters()->Count() : 0; }
OSType GetMovieExporterType(SInt32 position) { return GetMovieExporters()->At(position).subType; }
ConstStringPtr GetMovieExporterName(SInt32 position) { return GetMovieExporters()->At(position).name; }

void FreeExporterLists() {
    delete gImages;
    gImages = nullptr;
    delete gSounds;
    gSounds = nullptr;
    delete gMovies;
    gMovies = nullptr;
}

SInt32 FindStoredExporter(const CExporterList* list, OSType subType, UInt32 storedPosition) {
    if (!list || list->Count() == 0) return 0;
    if (const SInt32 p = list->PositionOf(subType)) return p;
    if (storedPosition >= 1 && storedPosition <= UInt32(list->Count())) return SInt32(storedPosition);
    return 1;
}
