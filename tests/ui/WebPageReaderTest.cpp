// Web pages drawn by the web page host: a red square in, a red square out; scripts that do not
// run; pages that cannot navigate away, reach the network or read files outside their folder;
// missing files drawn as the grey area; the information's line-ending style; drawings asked
// for from a worker thread; and the shared sample through the kind engine.
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/ui/WebPageHost.h"
#include "media/ui/WebPageReaders.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"
#include "ui/WxTestSupport.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

struct Rgb {
    int r, g, b;
};
Rgb Pixel(GWorldPtr world, int x, int y) {
    const PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}
bool IsRed(const Rgb& c) {
    return c.r > 200 && c.g < 60 && c.b < 60;
}
bool IsGreen(const Rgb& c) {
    return c.g > 120 && c.r < 60 && c.b < 60;
}
bool IsWhite(const Rgb& c) {
    return c.r > 240 && c.g > 240 && c.b > 240;
}

std::string Page(const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><style>body{margin:0;background:#fff}"
           "div,img{position:absolute;display:block}</style></head>\n<body>" + body + "</body></html>\n";
}
std::string Square(int left, int top, const std::string& colour) {
    return "<div style=\"left:" + std::to_string(left) + "px;top:" + std::to_string(top) +
           "px;width:100px;height:100px;background:" + colour + "\"></div>";
}
std::string Image(int left, int top, const std::string& src) {
    return "<img style=\"left:" + std::to_string(left) + "px;top:" + std::to_string(top) +
           "px\" width=\"100\" height=\"100\" src=\"" + src + "\">";
}

// A server on the loopback interface that only counts the connections it is offered.
class CountingServer {
public:
    CountingServer() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        listen(fd_, 8);
        thread_ = std::thread([this] {
            for (;;) {
                const int c = accept(fd_, nullptr, nullptr);
                if (c < 0 || stop_) break;
                ++connections_;
                close(c);
            }
        });
    }
    ~CountingServer() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
    }
    int port() const { return port_; }
    int connections() const { return connections_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

constexpr int kPatience = 20000;

class WebPageReaderTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        WebPageReadersInstall();
        // Pages here are tiny; a busy test machine may still need more than the usual limit.
        WebPageSetTimeLimit(kPatience);
    }
    void TearDown() override {
        WebPageSetTimeLimit(3000);
        KindEngineShutdown();
        KindTableClear();
        WxTest::TearDown();
    }
    GWorldPtr Render(const std::string& path, int* result, int side = 640) {
        const Rect box{0, 0, SInt16(side), SInt16(side)};
        GWorldPtr world = nullptr;
        EXPECT_EQ(OffscreenNew(&world, k32BGRAPixelFormat, &box), noErr);
        *result = RenderWebPage(side, side, path, world);
        return world;
    }
    TempFolder temp;
};

TEST_F(WebPageReaderTest, ARedSquareInIsARedSquareOut) {
    const std::string path = temp.Write("square.html", Page(Square(200, 100, "#f00")));
    int result = 1;
    GWorldPtr world = Render(path, &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsRed(Pixel(world, 250, 150)));
    EXPECT_TRUE(IsRed(Pixel(world, 203, 197)));
    EXPECT_TRUE(IsWhite(Pixel(world, 150, 150)));
    EXPECT_TRUE(IsWhite(Pixel(world, 250, 250)));
    DisposeGWorld(world);
}

TEST_F(WebPageReaderTest, ScriptsDoNotRunAndPagesCannotGoElsewhere) {
    temp.Write("green.html", Page(Square(0, 0, "#0f0")));
    struct Case {
        const char* what;
        std::string page;
    };
    const Case cases[] = {
        {"a script painting the square green",
         Page(Square(0, 0, "#f00") + "<script>document.querySelector('div').style.background='#0f0';</script>")},
        {"a refresh to another page", "<html><head><meta http-equiv=\"refresh\" content=\"0;url=green.html\"></head>" +
                                          Page(Square(0, 0, "#f00")).substr(15)},
        {"a script opening a window and going away",
         Page(Square(0, 0, "#f00") + "<script>window.open('green.html');location='green.html';</script>")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = temp.Write("page.html", c.page);
        WebPageHost* host = WebPageHostCreate(path, 200, 200);
        ASSERT_NE(host, nullptr);
        const Rect box{0, 0, 200, 200};
        GWorldPtr world = nullptr;
        ASSERT_EQ(OffscreenNew(&world, k32BGRAPixelFormat, &box), noErr);
        EXPECT_EQ(WebPageHostRender(host, world, kPatience), 0);
        // Give a refresh time to try.
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(WebPageHostState(host), WebPageLoad::Complete);
        EXPECT_TRUE(IsRed(Pixel(world, 50, 50)));
        GWorldPtr again = nullptr;
        ASSERT_EQ(OffscreenNew(&again, k32BGRAPixelFormat, &box), noErr);
        EXPECT_EQ(WebPageHostRender(host, again, kPatience), 0);
        EXPECT_FALSE(IsGreen(Pixel(again, 50, 50))) << "still the page itself";
        DisposeGWorld(again);
        DisposeGWorld(world);
        WebPageHostDestroy(host);
    }
}

TEST_F(WebPageReaderTest, PagesReachNeitherTheNetworkNorFilesOutsideTheirFolder) {
    CountingServer server;
    std::filesystem::create_directories(temp / "site");
    std::filesystem::create_directories(temp / "outside");
    const std::string png = fixtures::Png(8, 8, fixtures::PngKind::Rgb);  // top-left quarter red
    temp.Write("site/red.png", png);
    temp.Write("outside/red.png", png);
    const std::string page = Page(Image(0, 0, "red.png") + Image(120, 0, "../outside/red.png") +
                                  Image(240, 0, "file://" + temp / "outside/red.png") +
                                  Image(360, 0, "http://127.0.0.1:" + std::to_string(server.port()) + "/red.png"));
    const std::string path = temp.Write("site/index.html", page);
    int result = 1;
    GWorldPtr world = Render(path, &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsRed(Pixel(world, 10, 10))) << "the page's own folder is served";
    EXPECT_FALSE(IsRed(Pixel(world, 130, 10))) << "a path leaving the folder";
    EXPECT_FALSE(IsRed(Pixel(world, 250, 10))) << "a file address";
    EXPECT_FALSE(IsRed(Pixel(world, 370, 10))) << "the network";
    EXPECT_EQ(server.connections(), 0);
    DisposeGWorld(world);
}

TEST_F(WebPageReaderTest, AMissingPageIsTheGreyArea) {
    int result = 0;
    GWorldPtr world = Render(temp / "missing.html", &result, 100);
    EXPECT_EQ(result, -1);
    const Rgb c = Pixel(world, 50, 50);
    EXPECT_EQ(c.r, kWebPageFailedColor.red >> 8);
    EXPECT_EQ(c.g, kWebPageFailedColor.green >> 8);
    DisposeGWorld(world);
}

TEST_F(WebPageReaderTest, InformationAndThumbnailsThroughTheEngine) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    struct Case {
        std::string path;
        std::string encoding;
        bool red;
    };
    const Case cases[] = {
        {temp.Write("unix.html", Page(Square(0, 0, "#f00"))), "UNIX", true},
        {temp.Write("dos.htm", "<html>\r\n<body style=\"margin:0\">\r\n" + Square(0, 0, "#f00") + "\r\n</body></html>\r\n"), "DOS", true},
        {kSamples + "HTML.html", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        KindFileRec file;
        FSSpec spec = SpecOf(c.path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        EXPECT_EQ(KindGetHandler(file.type), kKindHandlerWebPage);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        if (!c.encoding.empty()) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]), c.encoding);
        }
        EXPECT_NE(thumb, nullptr);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        ASSERT_EQ(KindMakeThumbnail(&spec, &world, 128, file.type, &index, 0), noErr);
        EXPECT_EQ(GetGWorldPixels(world).width, 800);
        if (c.red) {
            EXPECT_TRUE(IsRed(Pixel(world, 50, 50)));
        }
        DisposeGWorld(world);
    }
}

TEST_F(WebPageReaderTest, AWorkerThreadHandsTheDrawingToTheInterface) {
    const std::string path = temp.Write("square.html", Page(Square(0, 0, "#f00")));
    FSSpec spec = SpecOf(path);
    std::atomic<bool> done{false};
    GWorldPtr world = nullptr;
    OSErr err = 1;
    std::thread worker([&] {
        err = WebPageMakeThumbnail(&spec, &world, 128, 'HTML', nullptr, 0);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 3 * kPatience));
    worker.join();
    EXPECT_EQ(err, noErr);
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(IsRed(Pixel(world, 50, 50)));
    DisposeGWorld(world);
}

}  // namespace
