#include "import/camera/GPhotoCameraSource.h"

#include <gphoto2/gphoto2-abilities-list.h>
#include <gphoto2/gphoto2-camera.h>
#include <gphoto2/gphoto2-context.h>
#include <gphoto2/gphoto2-file.h>
#include <gphoto2/gphoto2-list.h>
#include <gphoto2/gphoto2-port-info-list.h>
#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-result.h>

#include <unistd.h>

namespace {

struct ListDeleter {
    void operator()(CameraList* list) const { gp_list_free(list); }
};
using ListPtr = std::unique_ptr<CameraList, ListDeleter>;

ListPtr NewList() {
    CameraList* list = nullptr;
    return gp_list_new(&list) == GP_OK ? ListPtr(list) : ListPtr();
}

std::string JoinFolder(const std::string& folder, const char* name) {
    return folder == "/" ? "/" + std::string(name) : folder + "/" + name;
}

// What a running transfer reports to libgphoto2's context callbacks.
struct TransferState {
    const CameraTransferProgress* progress = nullptr;
    float target = 0;
    bool cancelled = false;
};

class GPhotoCameraSource : public CameraSource {
public:
    GPhotoCameraSource() : context_(gp_context_new()) {
        gp_context_set_progress_funcs(context_, &ProgressStart, &ProgressUpdate, nullptr, &transfer_);
        gp_context_set_cancel_func(context_, &CancelAsked, &transfer_);
    }
    ~GPhotoCameraSource() override {
        Close();
        gp_context_unref(context_);
    }

    std::vector<CameraDevice> Detect() override {
        std::vector<CameraDevice> devices;
        ListPtr list = NewList();
        if (!list || gp_camera_autodetect(list.get(), context_) < GP_OK) return devices;
        for (int i = 0; i < gp_list_count(list.get()); ++i) {
            const char* model = nullptr;
            const char* port = nullptr;
            if (gp_list_get_name(list.get(), i, &model) == GP_OK && gp_list_get_value(list.get(), i, &port) == GP_OK)
                devices.push_back({model ? model : "", port ? port : ""});
        }
        return devices;
    }

    OSErr Open(const CameraDevice& device) override {
        Close();
        Camera* camera = nullptr;
        if (gp_camera_new(&camera) < GP_OK) return ioErr;
        int result = SetModelAndPort(camera, device);
        if (result >= GP_OK) result = gp_camera_init(camera, context_);
        if (result < GP_OK) {
            gp_camera_free(camera);
            return CameraErrorFromGPhoto(result);
        }
        camera_ = camera;
        return noErr;
    }

    OSErr ListItems(std::vector<CameraItem>* items) override {
        items->clear();
        if (!camera_) return ioErr;
        return Walk("/", items);
    }

    OSErr Download(const CameraItem& item, int fd, const CameraTransferProgress& progress) override {
        if (!camera_) return ioErr;
        // The file takes its own copy of the descriptor, so closing it leaves the caller's.
        const int own = dup(fd);
        if (own < 0) return ioErr;
        CameraFile* file = nullptr;
        if (gp_file_new_from_fd(&file, own) < GP_OK) {
            close(own);
            return ioErr;
        }
        transfer_ = TransferState{&progress, 0, false};
        const int result =
            gp_camera_file_get(camera_, item.folder.c_str(), item.name.c_str(), GP_FILE_TYPE_NORMAL, file, context_);
        const bool cancelled = transfer_.cancelled;
        transfer_ = TransferState{};
        gp_file_unref(file);
        if (cancelled) return userCanceledErr;
        return result < GP_OK ? CameraErrorFromGPhoto(result) : noErr;
    }

    OSErr Delete(const CameraItem& item) override {
        if (!camera_) return ioErr;
        const int result = gp_camera_file_delete(camera_, item.folder.c_str(), item.name.c_str(), context_);
        return result < GP_OK ? CameraErrorFromGPhoto(result) : noErr;
    }

    void Close() override {
        if (!camera_) return;
        gp_camera_exit(camera_, context_);
        gp_camera_free(camera_);
        camera_ = nullptr;
    }

private:
    int SetModelAndPort(Camera* camera, const CameraDevice& device) {
        CameraAbilitiesList* abilities = nullptr;
        int result = gp_abilities_list_new(&abilities);
        if (result < GP_OK) return result;
        result = gp_abilities_list_load(abilities, context_);
        int index = result >= GP_OK ? gp_abilities_list_lookup_model(abilities, device.model.c_str()) : result;
        if (index >= GP_OK) {
            CameraAbilities a;
            result = gp_abilities_list_get_abilities(abilities, index, &a);
            if (result >= GP_OK) result = gp_camera_set_abilities(camera, a);
        } else {
            result = index;
        }
        gp_abilities_list_free(abilities);
        if (result < GP_OK) return result;

        GPPortInfoList* ports = nullptr;
        result = gp_port_info_list_new(&ports);
        if (result < GP_OK) return result;
        result = gp_port_info_list_load(ports);
        index = result >= GP_OK ? gp_port_info_list_lookup_path(ports, device.port.c_str()) : result;
        if (index >= GP_OK) {
            GPPortInfo info;
            result = gp_port_info_list_get_info(ports, index, &info);
            if (result >= GP_OK) result = gp_camera_set_port_info(camera, info);
        } else {
            result = index;
        }
        gp_port_info_list_free(ports);
        return result;
    }

    OSErr Walk(const std::string& folder, std::vector<CameraItem>* items) {
        ListPtr files = NewList();
        if (!files) return memFullErr;
        int result = gp_camera_folder_list_files(camera_, folder.c_str(), files.get(), context_);
        if (result < GP_OK) return CameraErrorFromGPhoto(result);
        // By name: the order cameras number their pictures in, whatever order a driver lists.
        gp_list_sort(files.get());
        for (int i = 0; i < gp_list_count(files.get()); ++i) {
            const char* name = nullptr;
            if (gp_list_get_name(files.get(), i, &name) != GP_OK || !name) continue;
            CameraItem item;
            item.folder = folder;
            item.name = name;
            CameraFileInfo info;
            if (gp_camera_file_get_info(camera_, folder.c_str(), name, &info, context_) >= GP_OK) {
                if (info.file.fields & GP_FILE_INFO_MTIME) item.captured = info.file.mtime;
                if (info.file.fields & GP_FILE_INFO_SIZE) item.size = info.file.size;
            }
            items->push_back(std::move(item));
        }
        ListPtr folders = NewList();
        if (!folders) return memFullErr;
        result = gp_camera_folder_list_folders(camera_, folder.c_str(), folders.get(), context_);
        if (result < GP_OK) return CameraErrorFromGPhoto(result);
        gp_list_sort(folders.get());
        for (int i = 0; i < gp_list_count(folders.get()); ++i) {
            const char* name = nullptr;
            if (gp_list_get_name(folders.get(), i, &name) != GP_OK || !name) continue;
            if (OSErr err = Walk(JoinFolder(folder, name), items); err != noErr) return err;
        }
        return noErr;
    }

    static unsigned int ProgressStart(GPContext*, float target, const char*, void* data) {
        static_cast<TransferState*>(data)->target = target;
        return 1;
    }
    static void ProgressUpdate(GPContext*, unsigned int, float current, void* data) {
        auto* state = static_cast<TransferState*>(data);
        if (!state->progress || !*state->progress || state->cancelled) return;
        const double fraction = state->target > 0 ? double(current) / double(state->target) : 0.0;
        if ((*state->progress)(fraction > 1.0 ? 1.0 : fraction)) state->cancelled = true;
    }
    static GPContextFeedback CancelAsked(GPContext*, void* data) {
        return static_cast<TransferState*>(data)->cancelled ? GP_CONTEXT_FEEDBACK_CANCEL : GP_CONTEXT_FEEDBACK_OK;
    }

    GPContext* context_;
    Camera* camera_ = nullptr;
    TransferState transfer_;
};

}  // namespace

OSErr CameraErrorFromGPhoto(int result) {
    switch (result) {
        case GP_OK: return noErr;
        case GP_ERROR_CANCEL: return userCanceledErr;
        case GP_ERROR_IO_USB_CLAIM:
        case GP_ERROR_IO_LOCK:
        case GP_ERROR_CAMERA_BUSY: return kCameraBusyErr;
        case GP_ERROR_NO_MEMORY: return memFullErr;
        case GP_ERROR_FILE_NOT_FOUND:
        case GP_ERROR_DIRECTORY_NOT_FOUND: return fnfErr;
        default: return result >= GP_OK ? noErr : ioErr;
    }
}

std::unique_ptr<CameraSource> NewGPhotoCameraSource() { return std::make_unique<GPhotoCameraSource>(); }
