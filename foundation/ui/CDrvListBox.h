// A drop-down list of the mounted volumes (the root file system, then the mounts GIO knows:
// disks, removable media, network shares), each with its name and an icon; the item's data is
// its mount path.
#pragma once

#include <wx/bmpcbox.h>

#include <string>
#include <vector>

struct DriveEntry {
    std::string name;       // shown
    std::string mountPath;  // the item's data
    bool removable = false;
};

class CDrvListBox : public wxBitmapComboBox {
public:
    CDrvListBox(wxWindow* parent, wxWindowID id);

    // Fills the list once: the number of entries; -1 when already filled, -2 when the volumes
    // cannot be listed.
    int Fill(bool largeIcons = false);
    // The mount path of an entry, empty when out of range.
    std::string MountPath(int index) const;

private:
    std::vector<DriveEntry> drives_;
    bool filled_ = false;
};

// The mounted volumes now, the root file system first; false when they cannot be listed.
bool ListMountedVolumes(std::vector<DriveEntry>* out);
