// The update check: asks the update server (its address from the settings store) whether a
// newer version of the program exists, and builds the address of the product web page. The
// server's reply is read to its end, within a size cap, whatever length it announces; a
// connection or read failure is a network error and changes nothing. Runs headless; the
// window side shows the outcome and opens the page.
#pragma once

#include <string>
#include <string_view>

// Version numbers the reply's A and B are compared with.
inline constexpr long kUpdateThisVersion = 16423;
// Replies longer than this are not an update text.
inline constexpr std::size_t kUpdateReplyCap = 64 * 1024;

// The reply's lines: "#" lines and empty lines skipped; the line keyed "LyrexOndrelWin"
// (exactly) holds "key A B version". True (with version and free) when A >= 16423 (newer);
// free when B < 16423. A reply without that line, or with a line that does not read, is false.
bool ReadVersionInfo(std::string_view reply, std::string* version, bool* free);

// The request address: base + "/updates/updatecheck.txt?os=linux&MajVers=0x%08x&MinVers=0x%08x"
// with the system's major and minor version, or "...&MajVers=unknown&MinVers=unknown".
std::string UpdateRequestUrl(const std::string& base, bool versionKnown, unsigned major, unsigned minor);
// The running kernel's version as the request sends it; false when it cannot be read.
bool SystemVersion(unsigned* major, unsigned* minor);

// The product page for a reason (1 update, 3 demo, 4 tour, 5 showcase, other about): base +
// "/internal-bin/servlet/LyrexProduct?p=ondrel&v=2.7.0&r=lyrex&reason=<word>&lang=<lang>".
std::string ProductPageUrl(const std::string& base, int reason, const std::string& language);

// The servers' addresses: the per-user values "UpdateServer" and "WebServer" under the
// program's key when set, else the defaults below.
inline constexpr char kDefaultUpdateServer[] = "https://updates.lyrex-ondrel.example";
inline constexpr char kDefaultWebServer[] = "https://www.lyrex-ondrel.example";
std::string UpdateServerBase();
std::string WebServerBase();

enum class UpdateOutcome { kUpToDate, kNewer, kNewerFree, kNetworkError };

// Fetches the address (GET, redirects followed a few times, time-outs of seconds) and decides.
// The reply must come with status 200 and end within the cap.
UpdateOutcome FetchUpdateInfo(const std::string& url, std::string* version);

// Whether the check runs when the program starts: only while the preferences' byte does not
// turn it off and an update server is named in the settings.
bool UpdateCheckAtStartup();
