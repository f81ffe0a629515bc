// The two pages of the Import From Camera sheet: "Options" (lock, skip same names, delete from
// the camera, capture date, the download folder) and "Annotations" (six texts written into
// every picture). They only hold their controls; the sheet reads them into the records of
// import/camera/CameraImport.h.
#pragma once

#include "foundation/ui/CPropertyPage.h"
#include "import/camera/CameraImport.h"

class wxCheckBox;

class CImportCameraOptions : public CPropertyPage {
public:
    enum : int { kLockId = 1488, kSkipId = 1120, kDeleteId = 1489, kDateId = 1487, kFolderButtonId = 1191,
                 kFolderTextId = 1256 };
    CImportCameraOptions() : CPropertyPage(7028) {}

    // The four choices (the folder is the sheet's).
    CameraImportOptions Choices() const;
    wxCheckBox* Box(int id) const;
    // Shows the folder, its middle left out when it does not fit.
    void ShowFolder(const std::string& folder);
    wxString FolderText() const;
};

class CImportCameraAnnotations : public CPropertyPage {
public:
    enum : int { kAuthorId = 1491, kCreditId = 1493, kSourceId = 1495, kCopyrightId = 1497, kStatusId = 1499,
                 kInstructionsId = 1501 };
    CImportCameraAnnotations() : CPropertyPage(7029) {}

    CameraAnnotations Texts() const;
    void SetText(int id, const wxString& text);
};
