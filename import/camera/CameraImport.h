// Import From Camera, apart from any window: which pictures of a camera will be downloaded,
// the annotations written into each downloaded file, and the download itself. Each picture is
// written into the download folder under its own name (made unique, or passed over when a
// file of that name is there and skipping is on), its partial file deleted when the transfer
// fails or is cancelled, then deleted from the camera when asked, annotated, dated, locked,
// and only then added to the catalog.
#pragma once

#include "import/camera/CameraSource.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

struct CatalogRec;

struct CameraImportOptions {
    bool lock = false;              // "Lock downloaded files": the write bits are removed
    bool skipSameName = false;      // "Skip files with same name"
    bool deleteFromCamera = false;  // "Delete items from camera after downloading"
    // "Set file creation date to capture date": Linux keeps no settable creation time, so the
    // file's modification time becomes the capture time (its access time stays).
    bool setCaptureDate = false;
    std::string folder;  // the download folder, a native path
};

// The six texts of the Annotations page (UTF-8; empty ones are not written).
struct CameraAnnotations {
    std::string author, credit, source, copyright, status, instructions;
    bool Empty() const;
};

struct CameraImportCallbacks {
    // Before each transfer: the file's name, its number (from 1) and how many were chosen.
    std::function<void(const std::string& name, int number, int count)> starting;
    // During transfers: the part of the current file done (0..1); answers true once the user
    // asked to stop. The import then ends after the current file.
    std::function<bool(double fraction)> progress;
    // A transfer failed (not cancelled): answers true to go on with the next file.
    std::function<bool(const CameraItem& item, OSErr err)> transferFailed;
};

struct CameraImportResult {
    int downloaded = 0;
    int added = 0;
    bool cancelled = false;
    OSErr error = noErr;  // the failure that ended the import, noErr otherwise
    std::vector<std::string> files;  // the downloaded files, in order
};

// The items that a download would transfer: all of them, but with skipping on, those whose
// name is already in the download folder are left out.
std::vector<CameraItem> CameraItemsToDownload(const std::vector<CameraItem>& items, const CameraImportOptions& options);

// The annotations as an IPTC block (2:7 Status, 2:40 Instructions, 2:80 Author, 2:110 Credit,
// 2:115 Source, 2:116 Copyright) and as movie user data; null when there are none.
struct HandleDisposer {
    void operator()(Handle h) const;
};
using OwnedHandle = std::unique_ptr<Ptr, HandleDisposer>;
struct UserDataDisposer {
    void operator()(UserData u) const;
};
using OwnedUserData = std::unique_ptr<std::remove_pointer_t<UserData>, UserDataDisposer>;
OwnedHandle CameraAnnotationsIptc(const CameraAnnotations& annotations);
OwnedUserData CameraAnnotationsUserData(const CameraAnnotations& annotations);

// Downloads items from the open source into options.folder and adds each file at the end of
// the catalog (its media read later by the refresh, as for any import). Files already
// downloaded stay in the catalog when a later one fails or the user cancels.
CameraImportResult CameraImportRun(CatalogRec* catalog, CameraSource& source, const std::vector<CameraItem>& items,
                                   const CameraImportOptions& options, const CameraAnnotations& annotations,
                                   const CameraImportCallbacks& callbacks);
