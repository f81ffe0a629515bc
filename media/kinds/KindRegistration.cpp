#include "media/kinds/KindRegistration.h"

#include "media/kinds/KindTable.h"

#include <cstring>
#include <string>
#include <vector>

OSErr KindRegisterWindowsMedia() {
    static const struct {
        OSType type;
        const char* name;
        UInt8 category;
    } kRows[] = {
        {'ASF ', "Windows Media File", kKindCategoryVideo},
        {'WMV ', "Windows Media Video File", kKindCategoryVideo},
        {'WM  ', "Windows Media Audio/Video File", kKindCategoryVideo},
        {'WMA ', "Windows Media Audio File", kKindCategoryAudio},
        {'AVI ', "Video File", kKindCategoryVideo},
        {'MPEG', "Mpeg Video File", kKindCategoryVideo},
        {'MPE ', "Mpeg Video File", kKindCategoryVideo},
        {'MPG ', "Mpeg Video File", kKindCategoryVideo},
        {'M1V ', "Mpeg Video File", kKindCategoryVideo},
        {'MP2 ', "Mpeg Video File", kKindCategoryVideo},
        {'MP2V', "Mpeg Video File", kKindCategoryVideo},
        {'MPV2', "Mpeg Video File", kKindCategoryVideo},
    };
    for (const auto& r : kRows) KindRegister(r.type, kKindHandlerWindowsMedia, r.name, r.category);
    return noErr;
}

OSErr KindRegisterOfficeDocuments(SInt32 edition) {
    static const struct {
        OSType type;
        const char* name;
    } kRows[] = {
        {'DOC ', "Word Document"},          {'DOT ', "Word Template"},
        {'XLS ', "Excel Worksheet"},        {'XLT ', "Excel Template"},
        {'PPT ', "PowerPoint Presentation"}, {'POT ', "PowerPoint Template"},
        {'PDF ', "Adobe Acrobat Document"},
    };
    UInt8 category = edition == 400 ? kKindCategoryImage : kKindCategoryText;
    for (const auto& r : kRows) KindRegister(r.type, kKindHandlerBuiltin, r.name, category);
    return noErr;
}

void KindRegisterMovieImporterList(const MovieImporterComponentInfo* list, int count) {
    bool mpegSeen = false, mp3Seen = false;
    for (int i = 0; i < count; ++i) {
        const MovieImporterComponentInfo& c = list[i];
        if ((c.flags & kMovieImportFileFlags) != kMovieImportFileFlags) continue;
        std::string name = c.name ? c.name : "";
        if (name == "SMIL") continue;
        switch (c.subtype) {
        case 'grip': case 'QHT ': case 'QHTM': case 'qhtm': case 'QTPF': case 'SKIN':
        case 'TEXT': case 'TXT ': case 'PDF ': case 'utxt':
            continue;
        default:
            break;
        }
        if (c.manufacturer == 'strm') continue;
        UInt8 category;
        if (c.manufacturer == 'musi') category = c.subtype == 'KAR ' ? kKindCategoryVideo : kKindCategoryAudio;
        else if (c.manufacturer == 'soun') category = kKindCategoryAudio;
        else category = kKindCategoryVideo;
        if (c.subtype == 'MPEG') {
            if (!mpegSeen) KindRegister('MPG ', kKindHandlerMovieImporter, "MPEG", category);
            mpegSeen = true;
            KindRegister('MPEG', kKindHandlerMovieImporter, "MPEG", category);
            continue;
        }
        if (name.rfind("MPEG Layer-3", 0) == 0) {
            if (!mp3Seen) KindRegister('MP3 ', kKindHandlerMovieImporter, "MP3", category);
            mp3Seen = true;
            KindRegister(c.subtype, kKindHandlerMovieImporter, "MP3", category);
            continue;
        }
        // 'DIC ' files are DICOM too; that row takes the importer's name as it is.
        if (c.subtype == 'DICM') KindRegister('DIC ', kKindHandlerMovieImporter, name.c_str(), category);
        static const std::string kSuffix = " Importer";
        if (name.size() > kSuffix.size() && name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
            name.resize(name.size() - kSuffix.size());
        KindRegister(c.subtype, kKindHandlerMovieImporter, name.c_str(), category);
    }
}

void KindRegisterMovieImporters() {
    KindRegister('MOV ', kKindHandlerMovieImporter, "QuickTime Movie", kKindCategoryVideo);
    KindRegister('MooV', kKindHandlerMovieImporter, "QuickTime Movie", kKindCategoryVideo);
    KindRegister('sfil', kKindHandlerMovieImporter, "System Sound", kKindCategoryAudio);
    std::vector<MovieImporterComponentInfo> list;
    for (int i = 0; i < CountMovieImporterComponents(); ++i) list.push_back(*GetMovieImporterComponent(i));
    KindRegisterMovieImporterList(list.data(), int(list.size()));
}
