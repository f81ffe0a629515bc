#include "app/ui/prefs/CPrefsLabels.h"

#include "catalog/tables/LabelSettings.h"
#include "catalog/tables/Labels.h"
#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/UiText.h"

#include <wx/textctrl.h>

#include <cstring>

namespace {

constexpr int kFirstColour = 1456;
constexpr int kFirstName = 1465;

}  // namespace

void CPrefsLabels::ToControls() {
    for (int n = 1; n <= kLabelCount; ++n) {
        Str255 name;
        RGBColor color{};
        LabelGetInfo(n, name, &color);
        if (auto* b = Controls().Get<CColourPickerButton>(kFirstColour + n - 1))
            b->SetColour(wxColour(color.red >> 8, color.green >> 8, color.blue >> 8));
        if (auto* e = Controls().Get<wxTextCtrl>(kFirstName + n - 1)) e->ChangeValue(WxFromPStr(name));
    }
}

void CPrefsLabels::OnApply() {
    LabelSettingRec labels[kLabelSettingCount];
    for (int n = 1; n <= kLabelCount; ++n) {
        LabelSettingRec& rec = labels[n - 1];
        std::memset(&rec, 0, sizeof rec);
        RGBColor color{};
        LabelGetInfo(n, rec.name, &color);
        if (auto* e = Controls().Get<wxTextCtrl>(kFirstName + n - 1)) PStrFromWx(e->GetValue(), rec.name, 255);
        if (auto* b = Controls().Get<CColourPickerButton>(kFirstColour + n - 1)) {
            // The picker holds 8 bits a component: a colour left as it was keeps all 16 of its
            // bits; a new one's byte goes into both bytes of each component.
            const wxColour c = b->Colour();
            if (c.Red() != color.red >> 8 || c.Green() != color.green >> 8 || c.Blue() != color.blue >> 8)
                color = RGBColor{UInt16(c.Red() * 257), UInt16(c.Green() * 257), UInt16(c.Blue() * 257)};
        }
        rec.red = color.red;
        rec.green = color.green;
        rec.blue = color.blue;
    }
    SaveLabelSettings(labels);
}
