#include "app/UpdateCheck.h"

#include "app/PreferencesPages.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/text/TextEncoding.h"

#include <curl/curl.h>
#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

constexpr char kProgramKey[] = "LyrexOndrelWin";
constexpr char16_t kRegUpdateServer[] = u"UpdateServer";
constexpr char16_t kRegWebServer[] = u"WebServer";

std::string StoredBase(std::u16string_view name, const char* fallback) {
    CRegistryKey key;
    if (OpenUserKey(&key, name) && key.ValueExists(name)) {
        const std::u16string value = key.ReadString(name, u"");
        std::string utf8;
        for (char16_t c : value) utf8 += c < 0x80 ? char(c) : '?';
        while (!utf8.empty() && utf8.back() == '/') utf8.pop_back();
        if (!utf8.empty()) return utf8;
    }
    return fallback;
}

struct Reply {
    std::string bytes;
    bool tooLong = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto* reply = static_cast<Reply*>(user);
    const size_t n = size * count;
    if (reply->bytes.size() + n > kUpdateReplyCap) {
        reply->tooLong = true;
        return 0;  // ends the transfer with an error
    }
    reply->bytes.append(data, n);
    return n;
}

}  // namespace

bool ReadVersionInfo(std::string_view reply, std::string* version, bool* free) {
    std::istringstream in{std::string(reply)};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key, text;
        long a = 0, b = 0;
        if (!(fields >> key) || key != kProgramKey) continue;
        if (!(fields >> a >> b >> text)) return false;
        if (a < kUpdateThisVersion) return false;
        if (version) *version = text.substr(0, 20);
        if (free) *free = b < kUpdateThisVersion;
        return true;
    }
    return false;
}

std::string UpdateRequestUrl(const std::string& base, bool versionKnown, unsigned major, unsigned minor) {
    std::string url = base + "/updates/updatecheck.txt";
    if (!versionKnown) return url + "?os=linux&MajVers=unknown&MinVers=unknown";
    char query[96];
    std::snprintf(query, sizeof query, "?os=linux&MajVers=0x%08x&MinVers=0x%08x", major, minor);
    return url + query;
}

bool SystemVersion(unsigned* major, unsigned* minor) {
    struct utsname u{};
    if (uname(&u) != 0) return false;
    return std::sscanf(u.release, "%u.%u", major, minor) == 2;
}

std::string ProductPageUrl(const std::string& base, int reason, const std::string& language) {
    const char* word = "about";
    switch (reason) {
    case 1: word = "update"; break;
    case 3: word = "demo"; break;
    case 4: word = "tour"; break;
    case 5: word = "showcase"; break;
    default: break;
    }
    return base + "/internal-bin/servlet/LyrexProduct?p=ondrel&v=2.7.0&r=lyrex&reason=" + word + "&lang=" + language;
}

std::string UpdateServerBase() { return StoredBase(kRegUpdateServer, kDefaultUpdateServer); }
std::string WebServerBase() { return StoredBase(kRegWebServer, kDefaultWebServer); }

UpdateOutcome FetchUpdateInfo(const std::string& url, std::string* version) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!initialised) return UpdateOutcome::kNetworkError;
    CURL* curl = curl_easy_init();
    if (!curl) return UpdateOutcome::kNetworkError;
    Reply reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE, long(kUpdateReplyCap));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "LyrexOndrel/2.7.0");
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    // A reply cut short (a length announced and not delivered), too long, or not a 200 is no
    // answer at all.
    if (result != CURLE_OK || reply.tooLong || status != 200) return UpdateOutcome::kNetworkError;
    bool free = false;
    if (!ReadVersionInfo(reply.bytes, version, &free)) return UpdateOutcome::kUpToDate;
    return free ? UpdateOutcome::kNewerFree : UpdateOutcome::kNewer;
}

bool UpdateCheckAtStartup() {
    if (PreferenceByte(*GetPreferences(), kPrefsNoUpdateCheckOffset) != 0) return false;
    CRegistryKey key;
    return OpenUserKey(&key, kRegUpdateServer) && key.ValueExists(kRegUpdateServer);
}
