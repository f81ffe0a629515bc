// The alert boxes of the view engine's removal commands: the confirmation of Delete (naming the
// selection, or the organize filter and the catalog) and of Move to Recycle Bin, and the report
// of files that could not go to the trash. The program installs them once at start-up.
#pragma once

#include "window/view/ViewOperations.h"

class WxViewAlerts : public ViewAlerts {
public:
    // Asks unless the preferences turned the removal warning off.
    bool Confirm(int kind, const std::string& text, const std::string& catalogName) override;
    void ReportRecycleFailures(int count) override;
};

// Installs the program's removal alerts (once; later calls change nothing).
void InstallViewAlerts();
