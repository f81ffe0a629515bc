// The update check: the reply's lines and the decision (newer when A >= 16423, free when
// B < 16423), the request and product page addresses, and the whole fetch against a small
// HTTP server the test runs on 127.0.0.1 (with and without a length, cut short, refused, too
// long, not found), and the settings that name the servers and the start-up check.
#include "app/PreferencesPages.h"
#include "app/UpdateCheck.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"
#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace {

TEST(UpdateReply, TheProgramsLineDecidesNewerAndFree) {
    struct Case {
        const char* reply;
        bool newer;
        const char* version;
        bool free;
    } cases[] = {
        {"# comment\nLyrexOndrelWin 16423 16000 2.7.1\n", true, "2.7.1", true},
        {"LyrexOndrelWin 16422 16000 2.7.1\n", false, "", false},
        {"LyrexOndrelWin 17000 16423 3.0\n", true, "3.0", false},
        {"OtherWin 99999 0 9.9\n\n# x\nLyrexOndrelWin 16500 100 2.8\n", true, "2.8", true},
        {"lyrexondrelwin 99999 0 9.9\n", false, "", false},
        {"LyrexOndrelWin 99999 0 9.9", true, "9.9", true},      // no line feed at the end
        {"LyrexOndrelWin 99999\n", false, "", false},           // a line that does not read
        {"\r\nLyrexOndrelWin 20000 20000 4.0\r\n", true, "4.0", false},
        {"", false, "", false},
    };
    for (const Case& c : cases) {
        std::string version;
        bool free = false;
        EXPECT_EQ(ReadVersionInfo(c.reply, &version, &free), c.newer) << c.reply;
        if (c.newer) {
            EXPECT_EQ(version, c.version) << c.reply;
            EXPECT_EQ(free, c.free) << c.reply;
        }
    }
}

TEST(UpdateAddresses, RequestAndProductPageFollowTheirFormat) {
    EXPECT_EQ(UpdateRequestUrl("https://h", true, 6, 1),
              "https://h/updates/updatecheck.txt?os=linux&MajVers=0x00000006&MinVers=0x00000001");
    EXPECT_EQ(UpdateRequestUrl("https://h", false, 0, 0),
              "https://h/updates/updatecheck.txt?os=linux&MajVers=unknown&MinVers=unknown");
    const char* words[] = {"about", "update", "about", "demo", "tour", "showcase", "about"};
    for (int reason = 0; reason <= 6; ++reason)
        EXPECT_EQ(ProductPageUrl("https://w", reason, "en"),
                  std::string("https://w/internal-bin/servlet/LyrexProduct?p=ondrel&v=2.7.0&r=lyrex&reason=") +
                      words[reason] + "&lang=en");
}

// Answers one connection with a canned reply and records the request line.
class OneShotServer {
public:
    explicit OneShotServer(std::string reply) : reply_(std::move(reply)) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        listen(fd_, 1);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OneShotServer() {
        shutdown(fd_, SHUT_RDWR);
        thread_.join();
        close(fd_);
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    const std::string& Request() const { return request_; }

private:
    void Serve() {
        const int c = accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        char buffer[4096];
        while (request_.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = read(c, buffer, sizeof buffer);
            if (n <= 0) break;
            request_.append(buffer, size_t(n));
        }
        for (std::size_t at = 0; at < reply_.size();) {
            const ssize_t n = write(c, reply_.data() + at, reply_.size() - at);
            if (n <= 0) break;
            at += size_t(n);
        }
        close(c);
    }
    int fd_ = -1;
    int port_ = 0;
    std::string reply_;
    std::string request_;
    std::thread thread_;
};

std::string Http(const std::string& status, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "Connection: close\r\n\r\n" + body;
}

TEST(UpdateFetch, RepliesWithAndWithoutALengthAreReadToTheirEnd) {
    const std::string body = "# Lyrex\nLyrexOndrelWin 16423 16000 2.7.1\n";
    {
        OneShotServer server(Http("200 OK", "Content-Length: " + std::to_string(body.size()) + "\r\n", body));
        std::string version;
        EXPECT_EQ(FetchUpdateInfo(UpdateRequestUrl(server.Base(), true, 6, 2), &version), UpdateOutcome::kNewerFree);
        EXPECT_EQ(version, "2.7.1");
        EXPECT_EQ(server.Request().rfind("GET /updates/updatecheck.txt?os=linux&MajVers=0x00000006&MinVers=0x00000002 ", 0), 0u)
            << server.Request();
    }
    {
        // No length: the reply ends when the server closes.
        OneShotServer server(Http("200 OK", "", std::string(3000, '#') + "\nLyrexOndrelWin 17000 17000 3.0\n"));
        std::string version;
        EXPECT_EQ(FetchUpdateInfo(UpdateRequestUrl(server.Base(), false, 0, 0), &version), UpdateOutcome::kNewer);
        EXPECT_EQ(version, "3.0");
    }
    {
        OneShotServer server(Http("200 OK", "", "LyrexOndrelWin 16000 16000 2.6\n"));
        EXPECT_EQ(FetchUpdateInfo(server.Base() + "/x", nullptr), UpdateOutcome::kUpToDate);
    }
}

TEST(UpdateFetch, ShortRefusedTooLongAndMissingRepliesAreNetworkErrors) {
    {
        // A length announced and not delivered.
        OneShotServer server(Http("200 OK", "Content-Length: 500\r\n", "LyrexOndrelWin 16423 16000 2.7.1\n"));
        EXPECT_EQ(FetchUpdateInfo(server.Base() + "/u", nullptr), UpdateOutcome::kNetworkError);
    }
    {
        OneShotServer server(Http("200 OK", "", std::string(kUpdateReplyCap + 10, '#')));
        EXPECT_EQ(FetchUpdateInfo(server.Base() + "/u", nullptr), UpdateOutcome::kNetworkError);
    }
    {
        OneShotServer server(Http("404 Not Found", "Content-Length: 0\r\n", ""));
        EXPECT_EQ(FetchUpdateInfo(server.Base() + "/u", nullptr), UpdateOutcome::kNetworkError);
    }
    // Nobody listens on a port that was just given up.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    close(fd);
    EXPECT_EQ(FetchUpdateInfo("http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/u", nullptr),
              UpdateOutcome::kNetworkError);
}

TEST(UpdateSettings, ServersComeFromTheSettingsAndTheStartUpCheckHonoursItsByte) {
    SettingsSandbox sandbox;
    ResetPreferencesState();
    EXPECT_EQ(UpdateServerBase(), kDefaultUpdateServer);
    EXPECT_EQ(WebServerBase(), kDefaultWebServer);
    EXPECT_FALSE(UpdateCheckAtStartup()) << "no server named";
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u"UpdateServer"));
    ASSERT_TRUE(key.WriteString(u"UpdateServer", u"http://127.0.0.1:9/"));
    EXPECT_EQ(UpdateServerBase(), "http://127.0.0.1:9");
    EXPECT_TRUE(UpdateCheckAtStartup());
    *PreferenceByte(GetPreferences(), kPrefsNoUpdateCheckOffset) = 1;
    EXPECT_FALSE(UpdateCheckAtStartup());
    ResetPreferencesState();
}

}  // namespace
