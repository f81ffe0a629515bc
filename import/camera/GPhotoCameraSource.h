// The camera source on libgphoto2: detection by gp_camera_autodetect, any camera libgphoto2
// drives (PTP cameras over USB, mass-storage cameras, and its "Directory Browse" driver on a
// "disk:/folder" port, which makes a folder act as a camera). Not thread-safe: one thread
// uses one source.
#pragma once

#include "import/camera/CameraSource.h"

#include <memory>

std::unique_ptr<CameraSource> NewGPhotoCameraSource();

// A libgphoto2 result as the error the import reports (busy, cancel, I/O).
OSErr CameraErrorFromGPhoto(int result);
