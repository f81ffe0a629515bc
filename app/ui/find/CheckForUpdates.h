// The update check as the user meets it: asked for by the menu (every outcome is reported,
// a network failure as alert 69) or run at start-up (only a newer version is reported, with a
// button that turns the start-up check off); "OK" on a newer version opens the product page.
#pragma once

#include <string>

void CheckForUpdates(bool atStartup);
// Opens the product web page for a reason (1 update, 3 demo, 4 tour, 5 showcase, other about)
// in the desktop's browser; false when no browser could be started.
bool OpenProductPage(int reason);
// What a check would open or ask, for tests: the address of the last page opened.
const std::string& LastOpenedProductPage();
