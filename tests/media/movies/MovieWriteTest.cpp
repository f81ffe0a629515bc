// Annotations written into movies: the user data is replaced and every stream, frame, chapter
// and unknown atom stays; a movie header that grows moves to the end of the file so no sample
// moves; a file that is no movie is left alone.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/movies/MovieAtoms.h"
#include "platform/Handles.h"
#include "platform/movies/MovieSource.h"
#include "support/FileSpecs.h"
#include "support/MovieFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using namespace moviefixtures;

constexpr OSType kName = 0xA96E616D;     // ©nam
constexpr OSType kComment = 0xA9636D74;  // ©cmt

void AddText(UserData ud, OSType type, const std::string& text) {
    Handle h = NewHandle(Size(text.size()));
    std::memcpy(*h, text.data(), text.size());
    AddUserDataText(ud, h, type, CountUserDataType(ud, type) + 1, 0);
    DisposeHandle(h);
}

// The media bytes of the file: every 'mdat' atom's content.
std::string MediaData(const std::string& path) {
    FSSpec s = SpecOf(path);
    QtMovieLayout layout;
    if (QtReadMovieLayout(&s, &layout) != noErr) return {};
    std::string bytes = TempFolder::Read(path), out;
    for (const QtAtom& a : layout.top)
        if (a.type == 'mdat') out += bytes.substr(std::size_t(a.ContentStart()), std::size_t(a.size - a.header));
    return out;
}

class MovieWriteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(MovieWriteTest, AnnotationsReplaceTheUserDataAndKeepEveryStreamAndFrame) {
    TempFolder t;
    std::string meta = t.Write("chapters.txt",
                               ";FFMETADATA1\ntitle=old title\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=One\n"
                               "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Two\n");
    struct Case {
        const char* name;
        std::vector<std::string> flags;
    };
    const Case cases[] = {
        {"end.mov", {}},                              // the movie atom after the media
        {"front.mp4", {"-movflags", "+faststart"}},   // the movie atom before the media
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = t / c.name;
        std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc=duration=2:size=96x64:rate=10", "-f", "lavfi", "-i",
                                         "sine=frequency=300:duration=2", "-i", meta, "-map", "0", "-map", "1",
                                         "-map_metadata", "2", "-map_chapters", "2", "-c:v", "mpeg4", "-c:a", "aac"};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        args.push_back(path);
        ASSERT_EQ(RunTool(args), 0);
        // An atom no reader knows, at the end of the file, must survive too.
        { std::ofstream(path, std::ios::app | std::ios::binary) << std::string("\0\0\0\x10XTRAkeep me", 16); }
        std::string frames = FrameChecksums(path);
        std::string media = MediaData(path);
        Probe before = ProbeFile(path);
        ASSERT_FALSE(frames.empty());
        std::vector<QtUserDataItem> items;  // what the file holds besides a title and a comment
        {
            FSSpec s = SpecOf(path);
            QtMovieLayout layout;
            ASSERT_EQ(QtReadMovieLayout(&s, &layout), noErr);
            for (const QtUserDataItem& item : layout.userData)
                if (item.type != kName && item.type != kComment) items.push_back(item);
            ASSERT_FALSE(items.empty());
        }

        for (const std::string& title : std::vector<std::string>{"Harbour at Dawn", std::string(300, 'x')}) {
            UserData ud = nullptr;
            ASSERT_EQ(NewUserData(&ud), noErr);
            AddText(ud, kName, title);
            AddText(ud, kComment, "first light");
            FSSpec s = SpecOf(path);
            ASSERT_EQ(KindWriteMetadata(&s, nullptr, nullptr, ud), noErr);
            DisposeUserData(ud);
            Probe after = ProbeFile(path);
            EXPECT_EQ(Get(after, "format.tags.title"), title);
            EXPECT_EQ(Get(after, "format.tags.comment"), "first light");
            EXPECT_EQ(Get(after, "format.nb_streams"), Get(before, "format.nb_streams"));
            for (int i = 0; i < 2; ++i) EXPECT_EQ(StreamValue(after, i, "codec_name"), StreamValue(before, i, "codec_name"));
            EXPECT_EQ(FrameChecksums(path), frames);
            EXPECT_EQ(MediaData(path), media);
            std::string bytes = TempFolder::Read(path);
            EXPECT_NE(bytes.find("XTRAkeep me"), std::string::npos);
            // The other user-data items the file had (the encoder's name, a meta list) are still
            // there, byte for byte.
            FSSpec again = SpecOf(path);
            QtMovieLayout layout;
            ASSERT_EQ(QtReadMovieLayout(&again, &layout), noErr);
            for (const QtUserDataItem& old : items) {
                bool kept = false;
                for (const QtUserDataItem& now : layout.userData) kept |= now.type == old.type && now.bytes == old.bytes;
                EXPECT_TRUE(kept) << std::hex << old.type;
            }
            MovieFacts facts;
            ASSERT_EQ(MovieReadFacts(path, &facts), noErr);
            EXPECT_EQ(facts.chapters.size(), 2u);
        }
        // No temporary file is left beside the movie.
        for (const auto& entry : std::filesystem::directory_iterator(t.path()))
            EXPECT_NE(entry.path().filename().string().rfind("~~Temporary IO", 0), 0u) << entry.path();
    }
}

TEST_F(MovieWriteTest, AFileThatIsNoMovieIsLeftAlone) {
    TempFolder t;
    std::string path = t.Write("fake.mov", std::string("\0\0\0\x10" "free" "12345678", 16) + "not a movie at all");
    std::string before = TempFolder::Read(path);
    UserData ud = nullptr;
    ASSERT_EQ(NewUserData(&ud), noErr);
    AddText(ud, kName, "title");
    FSSpec s = SpecOf(path);
    EXPECT_EQ(KindWriteMetadata(&s, nullptr, nullptr, ud), kMovieNotFoundErr);
    EXPECT_EQ(TempFolder::Read(path), before);
    // A movie atom whose children run past it is refused the same way, untouched.
    std::string broken = std::string("\0\0\0\x18moov\0\0\0\x40trak", 16) + std::string(8, '\0');
    std::string path2 = t.Write("broken.mov", broken);
    FSSpec s2 = SpecOf(path2);
    EXPECT_NE(KindWriteMetadata(&s2, nullptr, nullptr, ud), noErr);
    EXPECT_EQ(TempFolder::Read(path2), broken);
    DisposeUserData(ud);
}

}  // namespace
