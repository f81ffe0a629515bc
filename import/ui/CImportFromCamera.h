// The "Import From Camera" sheet: the connected cameras in a list below the pages (looked for
// again every two seconds while the sheet is open, so plugging a camera in or out shows at
// once), how many pictures the chosen camera holds that would be downloaded, and the
// "Options" and "Annotations" pages. OK is enabled only when there is something to download.
// The download folder is the catalog's camera folder, or the user's Pictures folder; choosing
// another stores it in the catalog.
#pragma once

#include "foundation/ui/CLyrexPropertySheet.h"
#include "import/camera/CameraImport.h"

#include <wx/timer.h>

#include <functional>
#include <optional>

struct CatalogRec;
class CImportCameraAnnotations;
class CImportCameraOptions;
class wxChoice;
class wxStaticText;

class CImportFromCamera : public CLyrexPropertySheet {
public:
    enum : int { kCameraListId = 1485, kCountLabelId = 1486 };
    static constexpr int kPollMs = 2000;

    CImportFromCamera(CatalogRec* catalog, CameraSource& source, wxWindow* parent);
    ~CImportFromCamera() override;

    // Looks for cameras; a list that changed is shown anew (the chosen camera kept while it is
    // still there) and counted again.
    void RefreshCameras();
    void SelectCamera(int index);
    // Counts the pictures of the chosen camera that would be downloaded.
    void Recount();
    // A new download folder: shown, stored as the catalog's camera folder, counted again.
    void SetFolder(const std::string& folder);

    bool HasCameras() const { return !cameras_.empty(); }
    const std::vector<CameraDevice>& Cameras() const { return cameras_; }
    std::optional<CameraDevice> SelectedCamera() const;
    int ItemCount() const { return int(chosen_.size()); }
    const std::vector<CameraItem>& ChosenItems() const { return chosen_; }
    CameraImportOptions Options() const;
    CameraAnnotations Annotations() const;
    CImportCameraOptions* OptionsPage() const { return options_; }
    CImportCameraAnnotations* AnnotationsPage() const { return annotations_; }
    wxChoice* CameraList() const { return cameraList_; }
    wxStaticText* CountLabel() const { return countLabel_; }
    // What happens when the chosen camera is held by another program (a message box naming
    // it by default).
    void SetBusyReport(std::function<void(const CameraDevice&)> report) { busyReport_ = std::move(report); }

private:
    void BuildCameraBand();
    void BindEvents();
    void ShowCount();
    void OnChooseFolder(wxCommandEvent& event);

    CatalogRec* catalog_;
    CameraSource& source_;
    CImportCameraOptions* options_;
    CImportCameraAnnotations* annotations_;
    wxChoice* cameraList_ = nullptr;
    wxStaticText* countLabel_ = nullptr;
    std::vector<CameraDevice> cameras_;
    int selected_ = -1;
    std::string folder_;
    std::vector<CameraItem> chosen_;
    std::function<void(const CameraDevice&)> busyReport_;
    wxTimer poll_;
};

// The alert for a camera that another program holds, naming the camera.
wxString CameraBusyText(const CameraDevice& device);
// The user's Pictures folder (XDG), made when it is missing.
std::string DefaultCameraFolder();

// File > Import Items > From Camera: the sheet, then the download of the chosen pictures
// with the progress window; answers how many items were added to the catalog.
int ImportFromCameraCommand(CatalogRec* catalog, wxWindow* parent, CameraSource& source);
