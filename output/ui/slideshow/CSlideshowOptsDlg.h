// The Slide Show Options dialog: the catalog's slide-show settings (seconds per slide,
// background colour, transition, scaling, interactive, continuous, random, the file name shown,
// the options window shown) edited before a show. "Run Slide Show" stores them and asks the
// caller to start the show. Settings reach the catalog and the preferences only when they
// changed.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/slideshow/SlideShowSettings.h"

struct CatalogRec;

// Control ids of the dialog.
enum : int {
    kSlideDlgSeconds = 1264, kSlideDlgColour = 1265, kSlideDlgTransition = 1266, kSlideDlgScaling = 1003,
    kSlideDlgInteractive = 1132, kSlideDlgContinuous = 1133, kSlideDlgRandom = 1129, kSlideDlgMediaInfo = 1515,
    kSlideDlgController = 1134, kSlideDlgRun = 1117,
};

class CSlideshowOptsDlg : public CLyrexDialog {
public:
    // runFlag (may be null) becomes 1 when the dialog is left with "Run Slide Show".
    CSlideshowOptsDlg(CatalogRec* catalog, UInt8* runFlag, wxWindow* parent);
    const SlideShowSettings& Working() const { return work_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void ReadSeconds();
    void Store();

    CatalogRec* catalog_;
    UInt8* runFlag_;
    SlideShowSettings work_{};
    int seconds_ = 4;
};
