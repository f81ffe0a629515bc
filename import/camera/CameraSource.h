// Where camera pictures come from: the cameras connected now, the pictures on one camera,
// and a picture's transfer into an open file with progress and cancel. The program's source
// runs on libgphoto2 (GPhotoCameraSource.h); camera import (CameraImport.h) knows only this
// interface.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// A camera as detection finds it: its model (shown as its name) and the port it is on.
struct CameraDevice {
    std::string model;
    std::string port;  // "usb:001,004", or "disk:/folder" for a folder that acts as a camera
    bool operator==(const CameraDevice&) const = default;
};

// One picture (or movie) on the camera.
struct CameraItem {
    std::string folder;   // the camera's folder, "/DCIM/100CANON"
    std::string name;     // with its extension
    std::time_t captured = 0;  // the camera's time of the file, 0 when it gives none
    std::uint64_t size = 0;
};

// The camera is held by another program (a file manager or another importer).
inline constexpr OSErr kCameraBusyErr = fBsyErr;

// Called during a transfer with the part done (0..1); answers true to cancel it.
using CameraTransferProgress = std::function<bool(double fraction)>;

class CameraSource {
public:
    virtual ~CameraSource() = default;
    // The cameras connected now (an empty list when none or when detection fails).
    virtual std::vector<CameraDevice> Detect() = 0;
    // Connects to the camera. kCameraBusyErr when another program holds it, ioErr for other
    // failures (nothing stays open then).
    virtual OSErr Open(const CameraDevice& device) = 0;
    // Every file of the open camera, folder by folder depth first, files of a folder before
    // its sub-folders, each folder's entries by name.
    virtual OSErr ListItems(std::vector<CameraItem>* items) = 0;
    // Writes the item into fd (open for writing, at its start). userCanceledErr when progress
    // asked to stop, ioErr for a failed transfer; what reached fd then is incomplete.
    virtual OSErr Download(const CameraItem& item, int fd, const CameraTransferProgress& progress) = 0;
    // Removes the item from the camera.
    virtual OSErr Delete(const CameraItem& item) = 0;
    virtual void Close() = 0;
};
