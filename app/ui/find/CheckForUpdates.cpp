#include "app/ui/find/CheckForUpdates.h"

#include "app/PreferencesPages.h"
#include "app/UpdateCheck.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/utilities/OpenInBrowser.h"

#include <wx/utils.h>

namespace {

std::string& LastPage() {
    static std::string page;
    return page;
}

}  // namespace

const std::string& LastOpenedProductPage() { return LastPage(); }

bool OpenProductPage(int reason) {
    std::string language;
    if (!LoadResourceStringUtf8(12810, &language) || language.empty()) language = "en";
    LastPage() = ProductPageUrl(WebServerBase(), reason, language);
    return OpenInBrowser(LastPage());
}

void CheckForUpdates(bool atStartup) {
    unsigned major = 0, minor = 0;
    const bool known = SystemVersion(&major, &minor);
    std::string version;
    UpdateOutcome outcome;
    {
        wxBusyCursor busy;
        outcome = FetchUpdateInfo(UpdateRequestUrl(UpdateServerBase(), known, major, minor), &version);
    }
    switch (outcome) {
    case UpdateOutcome::kNetworkError:
        // At start-up a server out of reach is no news worth a box.
        if (!atStartup) ShowAlertSimple(2, 69, 0, 1, 0, 0);
        return;
    case UpdateOutcome::kUpToDate:
        if (!atStartup) ShowAlertSimple(2, 49, 0, 1, 0, 0);
        return;
    case UpdateOutcome::kNewer:
    case UpdateOutcome::kNewerFree: {
        Str255 text;
        PStrFromBytes(text, version.data(), long(version.size()));
        const short message = outcome == UpdateOutcome::kNewerFree ? 68 : 47;
        const short answer = ShowAlert(2, message, 0, 1, 2, atStartup ? 25 : 0, text);
        if (answer == 1) OpenProductPage(1);
        if (answer == 3) *PreferenceByte(GetPreferences(), kPrefsNoUpdateCheckOffset) = 1;
        return;
    }
    }
}
