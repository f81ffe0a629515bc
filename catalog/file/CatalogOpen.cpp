// Opening, making and closing a catalog, and the small accessors of its record.
#include "catalog/file/CatalogRec.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogHooks.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/info/InfoRows.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/save/CatalogLocks.h"
#include "catalog/save/ViewPrefsInPlace.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"

#include <cstring>
#include <new>

namespace {

constexpr long kCatalogNameList = 599;

void FreeCatalog(CatalogRec* c) {
    OrganizeListsFree(c);
    Handle* handles[] = {&c->customFieldNames, &c->rankList, &c->printSettings, &c->listeners,
                         &c->infoRows,         &c->infoCaption, &c->folderRef0,  &c->folderRef1,
                         &c->folderRef2};
    for (Handle* h : handles) {
        if (*h) DisposeHandle(*h);
        *h = nullptr;
    }
    CatalogFolderTreeDelete(c);
    CatalogHiddenFieldsClose(c);
    delete c->fontPrefs;
    delete c->importSettings;
    delete[] c->entries;
    delete c;
}

// Makes the work file, never over an existing file: a file of that name may be another
// catalog's, holding the only copy of its unsaved records.
SInt16 MakeWorkFile(const FSSpec* workSpec) {
    // Made and opened in one step: the file is this catalog's from the moment it exists.
    SInt16 ref = 0;
    if (FSpCreateOpen(workSpec, &ref) != noErr) return 0;
    // Records added or changed are read back from it item by item, as from the catalog file:
    // from memory once it has grown.
    FSMapForReading(ref);
    return ref;
}

}  // namespace

OSErr CatalogOpen(CatalogRec** outCatalog, const FSSpec* catalogSpec, const FSSpec* workSpec,
                  CatalogPasswordProc passwordProc, ConstStr255Param password,
                  CatalogProgressProc progressProc, long refCon) {
    if (!outCatalog) return paramErr;
    *outCatalog = nullptr;

    CatalogViewPrefs defaultPrefs;
    CatalogViewPrefsSetDefault(&defaultPrefs);

    auto* c = new (std::nothrow) CatalogRec;
    if (!c) return memFullErr;
    c->entryCapacity = CatalogGetCapacity();
    c->entries = new (std::nothrow) ItemEntry[std::size_t(c->entryCapacity)]();
    c->importSettings = new (std::nothrow) ImportSettingsRec;
    if (!c->entries || !c->importSettings) {
        FreeCatalog(c);
        return memFullErr;
    }
    CatalogGetDefaultImportSettings(c->importSettings);
    c->viewPrefs = defaultPrefs;

    OSErr err = OrganizeListsAlloc(c);
    if (err == noErr) err = CatalogFolderTreeCreate(c);
    if (err == noErr) err = CatalogHiddenFieldsOpen(c);
    if (err == noErr && catalogSpec) {
        err = CatalogOpenFile(c, catalogSpec, passwordProc, password, progressProc, refCon);
        // A tree that could not be read whole is made again from the items.
        if (err == noErr && c->folderTree && !c->folderTree->loaded) {
            CatalogFolderTreeDelete(c);
            err = CatalogFolderTreeCreate(c);
        }
    }
    if (err == noErr && CatalogCheckItems(c) != noErr) {
        // Items were given new ids: the stored tree files them under their old ones.
        CatalogFolderTreeDelete(c);
        err = CatalogFolderTreeCreate(c);
    }
    if (err == noErr) err = OrganizeListsInitFlags(c, catalogSpec == nullptr);
    if (err == noErr) err = FolderTreeAddCatalogItems(c, catalogSpec != nullptr);
    if (err == noErr && !c->rankList && !(c->rankList = NewHandle(0))) err = memFullErr;
    if (err == noErr && !c->customFieldNames && !(c->customFieldNames = NewHandle(0))) err = memFullErr;
    if (err == noErr && !c->fontPrefs) {
        c->fontPrefs = new (std::nothrow) CatalogFontPrefs;
        if (c->fontPrefs)
            CatalogFontPrefsSetDefault(c->fontPrefs);
        else
            err = memFullErr;
    }
    if (err != noErr) {
        CatalogClose(c, false);
        return err;
    }

    c->viewPrefs.value0 = 0xFFFFFFFFu;
    CatalogSetDisplayName(c, catalogSpec);
    if (workSpec) c->workRefNum = MakeWorkFile(workSpec);
    // File references are reused as soon as a file is closed: nothing the field engine
    // cached under this catalog's references may survive.
    FieldEngineReset();
    CatalogFolderTreeCheckOnOpen(c);
    if (catalogSpec) {
        err = CatalogCreateLock(c, catalogSpec);   // all ten slots in use: -54
        if (err != noErr) {
            CatalogClose(c, false);
            return err;
        }
    }

    // The Info panel starts with no current item: its headers only.
    InfoLoadItem(c, nullptr);
    *outCatalog = c;
    CatalogCheckPrefs(&c->viewPrefs);
    CatalogCheckViewPrefs(&c->viewPrefs);
    CatalogCheckFonts(c);
    // Work attached to every catalog (folder watching resumes as the catalog was saved).
    CatalogRunOpenHooks(c);
    return noErr;
}

void CatalogClose(CatalogRec* catalog, bool writeViewPrefs) {
    if (!catalog) return;
    CatalogPurgeNotifications(catalog);
    // No job attached to the catalog (refresh, watching) may tick over it once it is freed.
    CatalogRunCloseHooks(catalog);
    if (catalog->catalogRefNum) FSClose(catalog->catalogRefNum);
    catalog->catalogRefNum = 0;
    if (catalog->workRefNum) {
        FSSpec workSpec;
        bool known = FSGetOpenFileSpec(catalog->workRefNum, &workSpec) == noErr;
        FSClose(catalog->workRefNum);
        if (known) FSpDelete(&workSpec);
        catalog->workRefNum = 0;
    }
    FieldEngineReset();
    const bool hasFile = !catalog->fileSpec.path.empty();
    if (writeViewPrefs && hasFile && CatalogCountOtherUsers(catalog, &catalog->fileSpec) == 0) {
        CatalogViewPrefs prefs = catalog->viewPrefs;
        CatalogViewPrefsToFileOrder(&prefs);
        CatalogWriteViewPrefsInPlace(&catalog->fileSpec, catalog->endOfRecords, &prefs);
    }
    if (hasFile || catalog->lockRefNum) CatalogReleaseLock(catalog, &catalog->fileSpec);
    FreeCatalog(catalog);
}

UInt32 CatalogGetOpenWarnings(const CatalogRec* catalog) { return catalog ? catalog->openWarnings : 0; }

OSErr CatalogGetReadError(const CatalogRec* catalog) {
    if (!catalog) return paramErr;
    for (SInt16 ref : {catalog->catalogRefNum, catalog->workRefNum})
        if (ref != 0 && FSReadFaulted(ref)) return ioErr;
    return noErr;
}

void CatalogSetModified(CatalogRec* catalog) {
    UInt32 now = 0;
    GetDateTime(&now);
    catalog->modifiedStamp = now ? now : 1;
    CatalogPostNotification(catalog, kCatalogMsgModified, 0);
}

bool CatalogIsModified(const CatalogRec* catalog) { return catalog->modifiedStamp != 0; }

bool CatalogGetFileSpec(const CatalogRec* catalog, FSSpec* spec, UInt8* outByte) {
    if (outByte) *outByte = 0;
    bool saved = !catalog->fileSpec.path.empty();
    if (spec) *spec = saved ? catalog->fileSpec : FSSpec{};
    return saved;
}

void CatalogGetDisplayName(const CatalogRec* catalog, StringPtr name, bool keepExtension) {
    PStrCopy(name, catalog->displayName);
    if (keepExtension || name[0] < 4) return;
    const unsigned char* ext = name + name[0] - 3;
    if (std::memcmp(ext, ".lxc", 4) == 0 || std::memcmp(ext, ".LXC", 4) == 0) name[0] -= 4;
}

void CatalogSetDisplayName(CatalogRec* catalog, const FSSpec* spec) {
    if (spec) {
        std::string name = Utf8ToAnsi(FSSpecName(*spec));
        PStrFromBytes(catalog->displayName, name.data(), long(name.size()));
        return;
    }
    LoadIndexedString(catalog->displayName, kCatalogNameList, 1);
    PStrAppendNumber(catalog->displayName, CatalogTakeNewCatalogNumber());
}

CatalogFontEntry* CatalogGetFontRec(CatalogRec* catalog, int slot) {
    if (!catalog->fontPrefs || slot < 0 || slot > 3) return nullptr;
    return &catalog->fontPrefs->entries[slot];
}

void CatalogCheckFonts(CatalogRec* catalog) {
    if (catalog->fontPrefs) CatalogCheckFontPrefs(catalog->fontPrefs);
}
