// The catalog windows as a find search sees them: frames named by their serial numbers (never
// reused, so a closed window is only missed), the recent catalogs, and catalogs opened in new
// frames for the search and closed again when they hold nothing.
#pragma once

#include "window/find/FindScope.h"

class WxFindHost : public FindHost {
public:
    UInt32 FrontFrame() override;
    std::vector<UInt32> AllFrames() override;
    std::vector<std::string> RecentCatalogs() override;
    ViewRec* FrameView(UInt32 frame) override;
    UInt32 FrameForCatalog(const std::string& path) override;
    UInt32 OpenCatalogFrame(const std::string& path) override;
    void CloseFrame(UInt32 frame) override;
    void ActivateFrame(UInt32 frame) override;
    void ViewChanged(UInt32 frame) override;
};
