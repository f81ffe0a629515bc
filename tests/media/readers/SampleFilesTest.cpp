// Every shared sample file through recognition, information and thumbnail with every kind
// family registered (edition 500): whatever the reader, the answers are errors or pictures,
// never a crash, and the kinds with readers of their own in this library give pictures.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

TEST(SampleFilesTest, EverySampleIsRecognisedReadAndThumbnailedWithoutHarm) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 500, 200), noErr);
    // Files whose kinds the built-in and PostScript readers draw.
    const std::set<std::string> pictured = {"PostScript.eps", "ICO.ico", "PDF.pdf"};
    std::set<std::string> seen;
    for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        FSSpec spec = SpecOf(entry.path().string());
        KindFileRec file;
        if (KindTypeOfFileSpec(&spec, &file) != noErr || file.type == 0) {
            EXPECT_FALSE(pictured.count(name)) << "not recognised";
            continue;
        }
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        const OSErr infoErr = KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        const OSErr thumbErr = KindMakeThumbnail(&spec, &world, 128, file.type, &index, 0);
        if (pictured.count(name)) {
            seen.insert(name);
            EXPECT_EQ(infoErr, noErr);
            EXPECT_NE(thumb, nullptr);
            EXPECT_EQ(thumbErr, noErr);
            EXPECT_NE(world, nullptr);
        }
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        if (world) DisposeGWorld(world);
    }
    EXPECT_EQ(seen, pictured) << "every sample named above is in the folder";
    KindEngineShutdown();
    KindTableClear();
}

}  // namespace
