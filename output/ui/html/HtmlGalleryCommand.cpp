#include "output/ui/html/HtmlGalleryCommand.h"

#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/DialogBuilder.h"
#include "foundation/ui/UiText.h"
#include "foundation/utilities/OpenInBrowser.h"
#include "output/html/GallerySite.h"
#include "output/html/HtmlSettings.h"
#include "output/ui/html/CHTMLExportDlg.h"
#include "platform/Files.h"

#include <wx/msgdlg.h>

UInt16 HtmlGalleryCommand(wxWindow* parent, CatalogRec* catalog) {
    HtmlSettingsRec settings;
    // A set that is gone is cleared here; the cleared name is saved with the rest.
    LoadHtmlSettings(&settings, kGalleryTemplatesFolder);
    CHTMLExportDlg sheet(parent, &settings, catalog);
    if (sheet.DoModal() != IDOK) return kGalleryCancelled;
    const bool saved = SaveHtmlSettings(&settings) == noErr;
    if (!saved) {
        // The build then takes the record confirmed just now rather than an older stored one.
        wxMessageDialog(parent, LoadUiString(63710), LoadUiString(73), wxOK | wxICON_WARNING).ShowModal();
    }
    CFolderBrowser browser;
    const wxString prompt = LoadUiString(59559);
    browser.SetTitle(&prompt);
    char path[kFolderPathCapacity] = {};
    if (browser.Browse(parent, path) != 2) return kGalleryCancelled;
    FSSpec folder;
    FSMakeFSSpecFromPath(path, &folder);
    folder.path = path;
    FSSpec firstPage;
    const UInt16 result =
        BuildHtmlGallery(catalog, folder, kGalleryTemplatesFolder, &firstPage, 0, saved ? nullptr : &settings);
    if (GalleryShouldOpenBrowser(result, firstPage)) OpenInBrowser(firstPage.path);
    ShowHtmlExportResultAlert(short(result));
    return result;
}
