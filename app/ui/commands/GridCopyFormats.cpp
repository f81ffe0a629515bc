#include "app/ui/commands/GridCopyFormats.h"

#include "app/ui/CMainFrame.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CPicCopyDlg.h"
#include "foundation/ui/CTextCopyDlg.h"
#include "foundation/ui/UiText.h"
#include "output/texttable/TextTable.h"
#include "window/grid/ItemClipboardPicture.h"
#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <wx/dataobj.h>
#include <wx/image.h>

namespace {

wxBitmapDataObject* PictureObject(const PictureBits& bits) {
    // wxImage takes the buffer over and frees it with free().
    auto* rgb = static_cast<unsigned char*>(malloc(bits.rgb.size()));
    if (!rgb) return nullptr;
    std::memcpy(rgb, bits.rgb.data(), bits.rgb.size());
    const wxImage image(bits.width, bits.height, rgb);
    return new wxBitmapDataObject(wxBitmap(image));
}

}  // namespace

std::string SelectionText(CatalogRec* catalog, ViewRec* view, UInt8 choice) {
    TextTableSpec spec;
    spec.style = kTextTableTabs;
    if (choice == 0) {
        spec.fields = {kFieldFileName};
    } else if (choice == 1) {
        spec.fields = {kFieldPath};
    } else if (const ViewFieldList* columns = CatalogGetSlotRec(catalog, kViewList)) {
        for (int i = 0; i < 10 && columns->fields[i].fieldId != 0; ++i) spec.fields.push_back(FieldId(columns->fields[i].fieldId));
    }
    std::string text;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) text += TextTableRow(catalog, item, spec);
    return text;
}

void AddViewFormats(CMainFrame* frame, wxDataObjectComposite& data) {
    ViewRec* view = frame->GetViewRec();
    CatalogRec* catalog = frame->GetCatalog();
    if (!view || !catalog) return;
    const SInt32 current = ViewGetCurrentItem(view);
    PictureBits bits;
    switch (ViewGetMode(view)) {
    case kViewList: {
        CTextCopyDlg dialog(frame);
        if (dialog.DoModal() == IDOK) {
            data.Add(new wxTextDataObject(WxFromUtf8(SelectionText(catalog, view, GetPreferences()->copyTextChoice))));
        }
        if (current > 0 && ItemPictureBits(view, current, &bits)) {
            if (wxBitmapDataObject* picture = PictureObject(bits)) data.Add(picture);
        }
        break;
    }
    case kViewMedia: {
        CPicCopyDlg dialog(frame);
        if (dialog.DoModal() != IDOK || current < 1) break;
        const bool fullSize = GetPreferences()->copyPictureChoice != 0;
        if (fullSize ? ItemFilePictureBits(view, current, &bits) : ItemPictureBits(view, current, &bits)) {
            if (wxBitmapDataObject* picture = PictureObject(bits)) data.Add(picture);
        }
        break;
    }
    default:
        if (current > 0 && ItemPictureBits(view, current, &bits)) {
            if (wxBitmapDataObject* picture = PictureObject(bits)) data.Add(picture);
        }
        break;
    }
}
