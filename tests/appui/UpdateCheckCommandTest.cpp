// The Check for Updates command against a server the test runs on 127.0.0.1 (named in the
// settings): a newer version is offered with its number and "Cancel" opens nothing; a server
// out of reach is reported with the network message; at start-up only news is shown, with
// the button that turns the start-up check off.
#include "appui/AppTestSupport.h"

#include "app/PreferencesPages.h"
#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/find/CheckForUpdates.h"
#include "foundation/ui/Clxsavechanges.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <wx/stattext.h>
#include <wx/testing.h>

#include <string>
#include <thread>

namespace {

// Serves one canned reply to one connection.
class ReplyServer {
public:
    explicit ReplyServer(std::string body) {
        reply_ = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        listen(fd_, 1);
        thread_ = std::thread([this] {
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0) return;
            char b[2048];
            std::string request;
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t r = read(c, b, sizeof b);
                if (r <= 0) break;
                request.append(b, size_t(r));
            }
            [[maybe_unused]] ssize_t w = write(c, reply_.data(), reply_.size());
            close(c);
        });
    }
    ~ReplyServer() {
        shutdown(fd_, SHUT_RDWR);
        thread_.join();
        close(fd_);
    }
    std::u16string Base() const {
        const std::string s = "http://127.0.0.1:" + std::to_string(port_);
        return std::u16string(s.begin(), s.end());
    }

private:
    int fd_ = -1, port_ = 0;
    std::string reply_;
    std::thread thread_;
};

// Answers the alert with a button, remembering its message and how many buttons it offered.
class AnswerAlert : public wxExpectModalBase<Clxsavechanges> {
public:
    AnswerAlert(int code, wxString* message) : code_(code), message_(message) {}

protected:
    int OnInvoked(Clxsavechanges* alert) const override {
        *message_ = alert->MessageStatic()->GetLabel();
        return code_;
    }

private:
    int code_;
    wxString* message_;
};

class UpdateCheckCommandTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({}));
    }
    void NameServer(const std::u16string& base) {
        CRegistryKey key;
        ASSERT_TRUE(OpenUserKey(&key, u"UpdateServer"));
        ASSERT_TRUE(key.WriteString(u"UpdateServer", base));
    }
};

TEST_F(UpdateCheckCommandTest, ANewerVersionIsOfferedWithItsNumberAndCancelOpensNothing) {
    ReplyServer server("# versions\nLyrexOndrelWin 16423 16000 2.7.1\n");
    NameServer(server.Base());
    const std::string pageBefore = LastOpenedProductPage();
    wxString message;
    wxTEST_DIALOG(Frame(0)->GetMenuHandler()->Execute(33101), AnswerAlert(wxID_CANCEL, &message));
    EXPECT_TRUE(message.Contains("2.7.1")) << message;
    EXPECT_TRUE(message.Contains("free")) << message;
    EXPECT_EQ(LastOpenedProductPage(), pageBefore);
}

TEST_F(UpdateCheckCommandTest, AServerOutOfReachIsReportedOnlyWhenTheUserAsked) {
    // A port nobody listens on.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    close(fd);
    const std::string base = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    NameServer(std::u16string(base.begin(), base.end()));
    wxString message;
    wxTEST_DIALOG(Frame(0)->GetMenuHandler()->Execute(33101), AnswerAlert(kAlertButton1, &message));
    EXPECT_TRUE(message.Contains("update server")) << message;
    // At start-up the same failure shows nothing (an alert would fail the test here).
    CheckForUpdates(true);
}

TEST_F(UpdateCheckCommandTest, AtStartUpTheThirdButtonTurnsTheStartUpCheckOff) {
    ReplyServer server("LyrexOndrelWin 20000 20000 3.0\n");
    NameServer(server.Base());
    ASSERT_EQ(PreferenceByte(*GetPreferences(), kPrefsNoUpdateCheckOffset), 0);
    wxString message;
    wxTEST_DIALOG(CheckForUpdates(true), AnswerAlert(kAlertButton3, &message));
    EXPECT_TRUE(message.Contains("3.0")) << message;
    EXPECT_FALSE(message.Contains("free")) << message;
    EXPECT_EQ(PreferenceByte(*GetPreferences(), kPrefsNoUpdateCheckOffset), 1);
}

}  // namespace
