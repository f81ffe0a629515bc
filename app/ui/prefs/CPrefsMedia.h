// The Media page: a "Type:" list that shows one of three parts (images, fonts, digital camera
// raw and Photo CD). All three are made with the page, so all three write their values when
// the sheet is confirmed; the list's choice is kept as the last media type.
#pragma once

#include "app/ui/prefs/PreferencesPage.h"

class CPrefsMediaImages;
class CPrefsMediaFonts;
class CPrefsMediaKodak;
class wxSimplebook;

class CPrefsMedia : public PreferencesPage {
public:
    explicit CPrefsMedia(PreferencesRec* prefs) : PreferencesPage(7021, prefs) {}
    void ToControls() override;
    void OnApply() override;

    // Shows part type (0 images, 1 fonts, 2 camera raw).
    void ShowType(int type);
    PreferencesPage* Part(int type) const { return parts_[type]; }

private:
    wxSimplebook* book_ = nullptr;
    PreferencesPage* parts_[3] = {nullptr, nullptr, nullptr};
};
