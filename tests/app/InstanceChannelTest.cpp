// One program per session: the lock and socket in $XDG_RUNTIME_DIR, the hand-over of
// arguments between real processes, and what a killed program leaves behind.
#include "app/InstanceChannel.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>

namespace {

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
    }
    // Polls the server until `count` hand-overs arrived or ten seconds passed.
    static std::vector<std::vector<std::string>> ReceiveAll(InstanceServer& server, std::size_t count) {
        std::vector<std::vector<std::string>> all;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (all.size() < count && std::chrono::steady_clock::now() < deadline) {
            for (auto& list : server.Receive()) all.push_back(std::move(list));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return all;
    }
    TempFolder dir_;
    bool hadOld_ = false;
    std::string old_;
};

TEST(InstanceMessage, AListSurvivesTheRoundTripByteForByte) {
    const std::vector<std::string> list = {"/a b/\"c\".lxc", "", std::string("x\0y", 3), "\xC3\xA9t\xC3\xA9"};
    const std::vector<std::uint8_t> bytes = EncodeArgumentList(list);
    std::vector<std::string> back;
    ASSERT_TRUE(DecodeArgumentList(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(list, back);
}

TEST(InstanceMessage, ABrokenMessageIsRefusedWhole) {
    std::vector<std::uint8_t> good = EncodeArgumentList({"one", "two"});
    std::vector<std::string> out = {"untouched"};
    struct Case { const char* what; std::vector<std::uint8_t> bytes; };
    std::vector<std::uint8_t> cut(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    std::vector<std::uint8_t> hugeCount = good;
    hugeCount[0] = 0xFF;
    std::vector<std::uint8_t> hugeLength = good;
    hugeLength[4] = 0x7F;
    const Case cases[] = {{"empty", {}}, {"cut", cut}, {"trailing byte", longer},
                          {"count beyond the bytes", hugeCount}, {"length beyond the bytes", hugeLength}};
    for (const Case& c : cases) {
        EXPECT_FALSE(DecodeArgumentList(c.bytes.data(), c.bytes.size(), &out)) << c.what;
        EXPECT_EQ(std::vector<std::string>{"untouched"}, out) << c.what;
    }
}

TEST_F(InstanceChannelTest, TheSocketAndLockLiveInTheSessionFolder) {
    EXPECT_EQ(dir_.path(), InstanceFolder());
    bool other = false;
    std::string error;
    auto server = InstanceServer::Claim(&other, &error);
    ASSERT_TRUE(server) << error;
    struct stat st;
    EXPECT_EQ(0, stat(InstanceSocketPath().c_str(), &st));
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    server.reset();
    EXPECT_NE(0, stat(InstanceSocketPath().c_str(), &st));  // removed when the program ends
}

TEST_F(InstanceChannelTest, ASecondStartHandsItsArgumentsToTheFirstAndEnds) {
    std::unique_ptr<InstanceServer> server;
    std::string error;
    ASSERT_EQ(InstanceRole::kFirst, ClaimOrHandOver({}, &server, &error)) << error;
    ChildProcess second([](ChildProcess&) {
        std::unique_ptr<InstanceServer> s;
        std::string e;
        return ClaimOrHandOver({"/p/one two.jpg", "/p/b.JPG"}, &s, &e) == InstanceRole::kHandedOver ? 0 : 1;
    });
    const auto got = ReceiveAll(*server, 1);
    EXPECT_EQ(0, second.Wait());
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ((std::vector<std::string>{"/p/one two.jpg", "/p/b.JPG"}), got[0]);
}

TEST_F(InstanceChannelTest, ThreeStartsAtOnceMakeOneProgramThatReceivesTheOtherTwo) {
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(std::make_unique<ChildProcess>([i](ChildProcess& self) {
            self.Receive();  // all three start together
            std::unique_ptr<InstanceServer> s;
            std::string e;
            const InstanceRole role = ClaimOrHandOver({"start " + std::to_string(i)}, &s, &e);
            if (role == InstanceRole::kHandedOver) {
                self.Send("handed");
                return 0;
            }
            if (role != InstanceRole::kFirst) {
                self.Send("failed " + e);
                return 1;
            }
            std::vector<std::string> seen;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (seen.size() < 2 && std::chrono::steady_clock::now() < deadline) {
                for (auto& list : s->Receive()) seen.insert(seen.end(), list.begin(), list.end());
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            std::sort(seen.begin(), seen.end());
            std::string line = "first";
            for (const std::string& a : seen) line += "|" + a;
            self.Send(line);
            return 0;
        }));
    }
    for (auto& c : children) c->Send("go");
    int firsts = 0, handed = 0;
    std::string firstLine;
    int firstIndex = -1;
    for (int i = 0; i < 3; ++i) {
        const std::string line = children[i]->Receive(15000);
        if (line == "handed") ++handed;
        if (line.rfind("first", 0) == 0) {
            ++firsts;
            firstLine = line;
            firstIndex = i;
        }
    }
    for (auto& c : children) EXPECT_EQ(0, c->Wait());
    ASSERT_EQ(1, firsts);
    EXPECT_EQ(2, handed);
    std::string expected = "first";
    for (int i = 0; i < 3; ++i)
        if (i != firstIndex) expected += "|start " + std::to_string(i);
    EXPECT_EQ(expected, firstLine);
}

TEST_F(InstanceChannelTest, TheSocketAndLockOfAKilledProgramAreTakenOver) {
    ChildProcess killed([](ChildProcess& self) {
        std::unique_ptr<InstanceServer> s;
        std::string e;
        self.Send(ClaimOrHandOver({}, &s, &e) == InstanceRole::kFirst ? "first" : "not first");
        for (;;) pause();
        return 0;
    });
    ASSERT_EQ("first", killed.Receive());
    kill(killed.pid(), SIGKILL);
    killed.Wait();
    struct stat st;
    ASSERT_EQ(0, stat(InstanceSocketPath().c_str(), &st));  // left behind

    std::unique_ptr<InstanceServer> server;
    std::string error;
    ASSERT_EQ(InstanceRole::kFirst, ClaimOrHandOver({}, &server, &error)) << error;
    ChildProcess second([](ChildProcess&) {
        std::unique_ptr<InstanceServer> s;
        std::string e;
        return ClaimOrHandOver({"/after.jpg"}, &s, &e) == InstanceRole::kHandedOver ? 0 : 1;
    });
    const auto got = ReceiveAll(*server, 1);
    EXPECT_EQ(0, second.Wait());
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(std::vector<std::string>{"/after.jpg"}, got[0]);
}

TEST_F(InstanceChannelTest, AConnectionThatSendsGarbageIsDroppedAndLaterHandOversStillArrive) {
    std::unique_ptr<InstanceServer> server;
    std::string error;
    ASSERT_EQ(InstanceRole::kFirst, ClaimOrHandOver({}, &server, &error)) << error;
    ChildProcess garbage([](ChildProcess&) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::snprintf(a.sun_path, sizeof a.sun_path, "%s", InstanceSocketPath().c_str());
        if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return 1;
        const char junk[] = "\x00\x00\x00\x05zz";
        (void)!write(fd, junk, sizeof junk - 1);
        shutdown(fd, SHUT_WR);
        char answer = 0;
        return read(fd, &answer, 1) == 0 ? 0 : 2;  // closed without a confirmation
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server->Receive();
    EXPECT_EQ(0, garbage.Wait());
    ChildProcess good([](ChildProcess&) {
        std::string e;
        return HandOverArguments({"/ok.jpg"}, 5000, &e) ? 0 : 1;
    });
    const auto got = ReceiveAll(*server, 1);
    EXPECT_EQ(0, good.Wait());
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(std::vector<std::string>{"/ok.jpg"}, got[0]);
}

}  // namespace
