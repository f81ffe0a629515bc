// Readings through the kind engine run on several threads at once (the refresh's workers):
// each must give what the same reading gives alone, and a worker's readings never reach the
// user interface's callbacks.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Result {
    OSErr err = noErr;
    std::string facts, thumbnail, iptc, technical;
    bool operator==(const Result&) const = default;
};

std::string Bytes(Handle h) { return h ? std::string(*h, std::size_t(GetHandleSize(h))) : std::string("<none>"); }

Result ReadOne(const std::string& path) {
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    if (KindTypeOfFileSpec(&spec, &file) != noErr) file.spec = spec;
    KindInfoRec info{};
    PicHandle thumbnail = nullptr;
    Handle iptc = nullptr, technical = nullptr;
    Result r;
    // Pictures without a preview of their own are drawn whole, as the refresh asks.
    r.err = KindGetInfo(&file, &info, true, 1, 0, 96, &thumbnail, &iptc, &technical, nullptr);
    r.facts.assign(reinterpret_cast<const char*>(&info), sizeof info);
    r.thumbnail = Bytes(reinterpret_cast<Handle>(thumbnail));
    r.iptc = Bytes(iptc);
    r.technical = Bytes(technical);
    for (Handle h : {reinterpret_cast<Handle>(thumbnail), iptc, technical})
        if (h) DisposeHandle(h);
    return r;
}

std::vector<std::string> Samples() {
    std::vector<std::string> files;
    for (const char* folder : {"metadata-samples", "orientation"})
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(LYREX_SHARED_FIXTURES) / folder))
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class ParallelReadingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(ParallelReadingTest, ReadingsOnSeveralThreadsGiveWhatEachGivesAlone) {
    const auto files = Samples();
    ASSERT_GE(files.size(), 40u);
    std::vector<Result> alone;
    for (const auto& f : files) alone.push_back(ReadOne(f));

    constexpr int kThreads = 6;
    std::vector<std::vector<Result>> got(kThreads, std::vector<Result>(files.size()));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            KindSetThreadCallbacksOff(true);
            // Each thread reads the files in an order of its own, so that the same kinds meet.
            std::vector<std::size_t> order(files.size());
            for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
            std::shuffle(order.begin(), order.end(), std::mt19937(unsigned(t + 1)));
            for (std::size_t i : order) got[std::size_t(t)][i] = ReadOne(files[i]);
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t)
        for (std::size_t i = 0; i < files.size(); ++i)
            EXPECT_TRUE(got[std::size_t(t)][i] == alone[i]) << files[i] << " on thread " << t;
}

// The info callback reaches the user interface: a worker's readings never call it.
std::thread::id gCalledOn;
int gCalls = 0;
OSErr CountCall(SInt32, SInt32, SInt32, std::uintptr_t) {
    ++gCalls;
    gCalledOn = std::this_thread::get_id();
    return noErr;
}

TEST_F(ParallelReadingTest, AWorkersReadingsCallNoCallback) {
    KindSetInfoCallback(CountCall, 0);
    std::thread worker([&] {
        KindSetThreadCallbacksOff(true);
        for (const auto& f : Samples()) ReadOne(f);
    });
    worker.join();
    EXPECT_EQ(gCalls, 0);
    // The same readings on this thread do call it.
    for (const auto& f : Samples()) ReadOne(f);
    EXPECT_GT(gCalls, 0);
    EXPECT_EQ(gCalledOn, std::this_thread::get_id());
    KindSetInfoCallback(nullptr, 0);
}

}  // namespace
