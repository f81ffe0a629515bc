#include "foundation/ui/CDrvListBox.h"

#include "foundation/ui/UiText.h"

#include <gio/gio.h>
#include <wx/artprov.h>

bool ListMountedVolumes(std::vector<DriveEntry>* out) {
    out->clear();
    out->push_back(DriveEntry{"File System", "/", false});
    GVolumeMonitor* monitor = g_volume_monitor_get();
    if (!monitor) return false;
    GList* mounts = g_volume_monitor_get_mounts(monitor);
    for (GList* m = mounts; m; m = m->next) {
        GMount* mount = G_MOUNT(m->data);
        GFile* root = g_mount_get_root(mount);
        char* path = root ? g_file_get_path(root) : nullptr;
        char* name = g_mount_get_name(mount);
        if (path && name) out->push_back(DriveEntry{name, path, bool(g_mount_can_eject(mount))});
        g_free(name);
        g_free(path);
        if (root) g_object_unref(root);
    }
    g_list_free_full(mounts, g_object_unref);
    g_object_unref(monitor);
    return true;
}

CDrvListBox::CDrvListBox(wxWindow* parent, wxWindowID id)
    : wxBitmapComboBox(parent, id, wxString(), wxDefaultPosition, wxDefaultSize, 0, nullptr, wxCB_READONLY) {}

int CDrvListBox::Fill(bool largeIcons) {
    if (filled_) return -1;
    if (!ListMountedVolumes(&drives_)) return -2;
    filled_ = true;
    const wxSize size = largeIcons ? wxSize(32, 32) : wxSize(16, 16);
    for (const DriveEntry& d : drives_) {
        wxBitmap icon = wxArtProvider::GetBitmap(d.removable ? wxART_REMOVABLE : wxART_HARDDISK, wxART_OTHER, size);
        Append(WxFromUtf8(d.name), icon);
    }
    return int(drives_.size());
}

std::string CDrvListBox::MountPath(int index) const {
    if (index < 0 || size_t(index) >= drives_.size()) return std::string();
    return drives_[size_t(index)].mountPath;
}
