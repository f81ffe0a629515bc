#include "import/camera/CameraImport.h"

#include "catalog/fields/FieldIds.h"
#include "foundation/files/FileNames.h"
#include "foundation/text/Unicode.h"
#include "import/adding/AddFiles.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace {

constexpr OSType Ud(char a, char b, char c) { return OSType(0xA9u << 24 | UInt32(UInt8(a)) << 16 | UInt32(UInt8(b)) << 8 | UInt8(c)); }

// Each annotation text: its IPTC dataset and its movie user-data type.
struct AnnotationSlot {
    std::string CameraAnnotations::*text;
    FieldId dataset;
    OSType userData;
};
const AnnotationSlot kSlots[] = {
    {&CameraAnnotations::status, IptcFieldId(2, 7), Ud('d', 'i', 's')},
    {&CameraAnnotations::instructions, IptcFieldId(2, 40), Ud('r', 'e', 'q')},
    {&CameraAnnotations::author, IptcFieldId(2, 80), Ud('A', 'R', 'T')},
    {&CameraAnnotations::credit, IptcFieldId(2, 110), Ud('p', 'r', 'd')},
    {&CameraAnnotations::source, IptcFieldId(2, 115), Ud('s', 'r', 'c')},
    {&CameraAnnotations::copyright, IptcFieldId(2, 116), Ud('c', 'p', 'y')},
};

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// The free name in folder for the picture: its own name, or "stem n.ext".
bool UniqueName(const std::string& folder, const std::string& name, std::string* out) {
    if (name.size() > 255) return false;
    FSSpec folderSpec;
    if (FSMakeFSSpecFromPath(folder, &folderSpec) != noErr) return false;
    Str255 pname;
    pname[0] = UInt8(name.size());
    std::memcpy(pname + 1, name.data(), name.size());
    if (MakeUniqueFileName(&folderSpec, pname) != noErr) return false;
    out->assign(reinterpret_cast<const char*>(pname + 1), pname[0]);
    return true;
}

// One picture: transferred into a file of its own, which is removed again unless the
// transfer completes.
OSErr Transfer(CameraSource& source, const CameraItem& item, const std::string& path,
               const CameraTransferProgress& progress) {
    // O_EXCL: a file that appeared since the name was chosen is never overwritten.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? dupFNErr : ioErr;
    OSErr err = source.Download(item, fd, progress);
    if (err == noErr && fsync(fd) != 0) err = ioErr;
    if (close(fd) != 0 && err == noErr) err = ioErr;
    if (err != noErr) unlink(path.c_str());
    return err;
}

void SetModificationTime(const std::string& path, std::time_t when) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays as it is
    times[1].tv_sec = when;
    times[1].tv_nsec = 0;
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

void RemoveWriteBits(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) chmod(path.c_str(), st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH));
}

}  // namespace

void HandleDisposer::operator()(Handle h) const { DisposeHandle(h); }
void UserDataDisposer::operator()(UserData u) const { DisposeUserData(u); }

bool CameraAnnotations::Empty() const {
    for (const AnnotationSlot& slot : kSlots)
        if (!(this->*slot.text).empty()) return false;
    return true;
}

std::vector<CameraItem> CameraItemsToDownload(const std::vector<CameraItem>& items, const CameraImportOptions& options) {
    std::vector<CameraItem> chosen;
    for (const CameraItem& item : items)
        if (!options.skipSameName || !Exists(Join(options.folder, item.name))) chosen.push_back(item);
    return chosen;
}

OwnedHandle CameraAnnotationsIptc(const CameraAnnotations& annotations) {
    if (annotations.Empty()) return nullptr;
    OwnedHandle block(NewHandle(0));
    if (!block) return nullptr;
    for (const AnnotationSlot& slot : kSlots) {
        const std::string& utf8 = annotations.*slot.text;
        if (utf8.empty()) continue;
        // Windows-1252 datasets when the text fits, UTF-8 ones otherwise, so nothing is lost.
        std::string ansi;
        const bool fits = Utf8ToAnsiExact(utf8, &ansi);
        const std::string& bytes = fits ? ansi : utf8;
        const size_t length = std::min<size_t>(bytes.size(), kIptcMaxDatasetLength);
        IptcSetDataset(UInt16(slot.dataset), 1, bytes.data(), SInt16(length), block.get(), kIptcReplace,
                       fits ? IptcMarkerAnsi : IptcMarkerUtf8);
    }
    return block;
}

OwnedUserData CameraAnnotationsUserData(const CameraAnnotations& annotations) {
    if (annotations.Empty()) return nullptr;
    UserData data = nullptr;
    if (NewUserData(&data) != noErr) return nullptr;
    OwnedUserData owned(data);
    auto addText = [&](OSType type, const std::string& text) {
        Handle h = nullptr;
        if (PtrToHand(text.data(), &h, Size(text.size())) != noErr) return;
        AddUserDataText(data, h, type, 1, 0);
        DisposeHandle(h);
    };
    for (const AnnotationSlot& slot : kSlots) {
        const std::string& text = annotations.*slot.text;
        if (text.empty()) continue;
        addText(slot.userData, text);
        if (slot.userData == Ud('A', 'R', 'T')) {
            // Movie players read the author from these two as well; they carry no text.
            addText(Ud('a', 'u', 't'), std::string());
            addText(Ud('o', 'p', 'e'), std::string());
        }
    }
    return owned;
}

CameraImportResult CameraImportRun(CatalogRec* catalog, CameraSource& source, const std::vector<CameraItem>& items,
                                   const CameraImportOptions& options, const CameraAnnotations& annotations,
                                   const CameraImportCallbacks& callbacks) {
    CameraImportResult result;
    const OwnedHandle iptc = CameraAnnotationsIptc(annotations);
    const OwnedUserData userData = CameraAnnotationsUserData(annotations);
    bool stop = false;
    const CameraTransferProgress progress = [&](double fraction) {
        if (callbacks.progress && callbacks.progress(fraction)) stop = true;
        return stop;
    };
    const int count = int(items.size());
    for (int i = 0; i < count && !stop; ++i) {
        const CameraItem& item = items[size_t(i)];
        std::string name = item.name;
        if (Exists(Join(options.folder, name))) {
            if (options.skipSameName) continue;
            if (!UniqueName(options.folder, item.name, &name)) {
                result.error = ioErr;
                break;
            }
        }
        const std::string path = Join(options.folder, name);
        if (callbacks.starting) callbacks.starting(name, result.downloaded + 1, count);
        const OSErr err = Transfer(source, item, path, progress);
        if (err == userCanceledErr) {
            result.cancelled = true;
            break;
        }
        if (err != noErr) {
            if (callbacks.transferFailed && callbacks.transferFailed(item, err)) continue;
            result.error = err;
            break;
        }
        ++result.downloaded;
        result.files.push_back(path);
        if (options.deleteFromCamera) source.Delete(item);
        FSSpec spec;
        if (FSMakeFSSpecFromPath(path, &spec) != noErr) continue;
        // The annotations go into the file first: the catalog then reads them with its media.
        if (iptc || userData) KindWriteMetadata(&spec, iptc.get(), nullptr, userData.get());
        if (options.setCaptureDate && item.captured) SetModificationTime(path, item.captured);
        if (options.lock) RemoveWriteBits(path);
        SInt32 added = 0;
        if (catalog && CatalogAddFiles(catalog, 0, &spec, 1, nullptr, 0, &added) == noErr) result.added += added;
        if (progress(1.0)) break;
    }
    result.cancelled = result.cancelled || stop;
    return result;
}
