#include "foundation/files/PathSpec.h"
#include "platform/Handles.h"
#include "support/PascalString.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// Sets an environment variable for one scope.
struct ScopedEnv {
    std::string name;
    std::string old;
    bool had;
    ScopedEnv(const char* n, const std::string& value) : name(n) {
        const char* o = std::getenv(n);
        had = o != nullptr;
        if (o) old = o;
        setenv(n, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
    }
};

TEST(PathSpec, WidePathsRoundTrip) {
    TempFolder tmp;
    std::string name = "Café 日本.jpg";
    tmp.Write(name, "x");
    std::u16string wide = u"" + FileSpecToPath(FSSpec{0, 0, tmp.path()}) + u"/Caf\u00e9 \u65e5\u672c.jpg";
    FSSpec spec;
    ASSERT_EQ(PathToFileSpec(wide, &spec), noErr);
    EXPECT_EQ(spec.path, tmp / name);
    EXPECT_EQ(FileSpecToPath(spec), wide);
    EXPECT_EQ(FileSpecToPath(spec, kPathNameOnly), u"Caf\u00e9 \u65e5\u672c.jpg");

    char16_t buf[512];
    ASSERT_EQ(FileSpecToPath(&spec, buf, 512), noErr);
    EXPECT_EQ(std::u16string(buf), wide);
    // Exactly one character short of room: refused, never cut.
    EXPECT_EQ(FileSpecToPath(&spec, buf, long(wide.size())), bdNamErr);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(FileSpecToPath(&spec, buf, long(wide.size()) + 1), noErr);

    Str255 p;
    ASSERT_EQ(FileSpecToPathPStr(&spec, p), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p + 1), p[0]), spec.path);
    ASSERT_EQ(FileSpecToPathPStr(&spec, p, kPathNameOnly), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p + 1), p[0]), name);
    EXPECT_EQ(FileSpecToPathPStrN(&spec, p, long(spec.path.size()) - 1), bdNamErr);
    EXPECT_EQ(FileSpecToPathPStrN(&spec, p, long(spec.path.size())), noErr);

    Handle h = nullptr;
    long length = 0;
    ASSERT_EQ(FileSpecToPathHandle(&spec, &h, &length), noErr);
    EXPECT_EQ(length, long(spec.path.size()));
    EXPECT_EQ(GetHandleSize(h), Size(spec.path.size()));
    EXPECT_EQ(std::string(*h, size_t(length)), spec.path);
    DisposeHandle(h);

    EXPECT_EQ(PathToFileSpec(u"", &spec), bdNamErr);
}

TEST(PathSpec, ChildrenOfAFolder) {
    TempFolder tmp;
    tmp.Write("a/exists.txt", "");
    FSSpec folder, child;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "a", &folder), noErr);
    EXPECT_EQ(MakeChildFileSpec(&folder, PStr255("exists.txt").s, &child), noErr);
    EXPECT_EQ(child.path, tmp / "a/exists.txt");
    EXPECT_EQ(MakeChildFileSpec(&folder, PStr255("missing.txt").s, &child), fnfErr);
    EXPECT_EQ(child.path, tmp / "a/missing.txt");   // filled all the same
    for (const char* bad : {"", ".", "..", "x/y"}) {
        EXPECT_EQ(MakeChildFileSpec(&folder, PStr255(bad).s, &child), bdNamErr) << bad;
        EXPECT_EQ(MakeChildSpecNoCheck(&folder, PStr255(bad).s, &child), bdNamErr) << bad;
    }
    ASSERT_EQ(MakeChildSpecNoCheck(&folder, PStr255("later.txt").s, &child), noErr);
    EXPECT_EQ(child.path, tmp / "a/later.txt");
    FSSpec viaCheck;
    EXPECT_EQ(MakeChildFileSpec(&folder, PStr255("later.txt").s, &viaCheck), fnfErr);
    EXPECT_EQ(viaCheck.parID, child.parID);
    EXPECT_EQ(viaCheck.vRefNum, child.vRefNum);
}

TEST(PathSpec, CreatesChildFolders) {
    TempFolder tmp;
    FSSpec root, child;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp.path(), &root), noErr);
    struct Case {
        std::string name;
        OSErr want;
        std::string made;
    } cases[] = {
        {"Option Sets", noErr, "Option Sets"},
        {"Option Sets", noErr, "Option Sets"},   // existing is fine
        {"Option Sets/inner", noErr, "Option Sets/inner"},
        {"missing/inner", dirNFErr, ""},
        {"", noErr, ""},
        {"..", bdNamErr, ""},
        {"x/../y", bdNamErr, ""},
        {"x/", bdNamErr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreateChildFolder(&root, 1, PStr255(c.name).s, &child), c.want) << c.name;
        if (c.want == noErr) {
            EXPECT_EQ(child.path, c.made.empty() ? tmp.path() : tmp / c.made) << c.name;
            EXPECT_TRUE(std::filesystem::is_directory(child.path)) << c.name;
        }
    }
    tmp.Write("plainfile", "");
    EXPECT_EQ(CreateChildFolder(&root, 1, PStr255("plainfile").s, &child), dupFNErr);
    EXPECT_EQ(CreateChildFolder(&root, 0, PStr255("not made").s, &child), fnfErr);
    EXPECT_FALSE(std::filesystem::exists(tmp / "not made"));
}

TEST(PathSpec, CreatesMissingLevels) {
    TempFolder tmp;
    std::u16string base = FileSpecToPath(FSSpec{0, 0, tmp.path()});
    EXPECT_EQ(CreateDirectoryPathW(base + u"/x/y/z"), noErr);
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "x/y/z"));
    EXPECT_EQ(CreateDirectoryPathW(base + u"/x/y/z"), noErr);
    EXPECT_EQ(CreateDirectoryPathW(base + u"/x/y/z2/"), noErr);   // trailing separator
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "x/y/z2"));
    tmp.Write("file", "");
    EXPECT_EQ(CreateDirectoryPathW(base + u"/file"), dupFNErr);
    EXPECT_EQ(CreateDirectoryPathW(base + u"/file/below"), dirNFErr);
    EXPECT_EQ(CreateDirectoryPathW(u""), noErr);
}

TEST(PathSpec, SpecialFolders) {
    TempFolder tmp;
    ScopedEnv data("XDG_DATA_HOME", tmp / "data/home");
    ScopedEnv temp("TMPDIR", tmp / "t");
    std::filesystem::create_directories(tmp / "t");
    FSSpec spec;
    EXPECT_EQ(FindSpecialFolder('pref', PStr255("Lyrex").s, &spec), fnfErr);
    EXPECT_EQ(spec.path, tmp / "data/home/Lyrex");
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "data/home"));   // the base is made
    EXPECT_EQ(FindSpecialFolder('temp', PStr255("scratch.tmp").s, &spec), fnfErr);
    EXPECT_EQ(spec.path, tmp / "t/scratch.tmp");
    EXPECT_EQ(FindSpecialFolder('temp', PStr255("").s, &spec), noErr);
    EXPECT_EQ(spec.path, tmp / "t");
    EXPECT_EQ(FindSpecialFolder('xxxx', PStr255("").s, &spec), noErr);
    EXPECT_EQ(spec.path, "/");
    EXPECT_EQ(FindSpecialFolderPath(7, &spec), paramErr);
}

TEST(PathSpec, FoldersEqualityAndInformation) {
    TempFolder tmp;
    tmp.Write("dir/File.txt", "12345");
    FSSpec file, dir, folderOf;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "dir/File.txt", &file), noErr);
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "dir", &dir), noErr);
    ASSERT_EQ(FileSpecFolder(&file, &folderOf), noErr);
    EXPECT_EQ(folderOf.path, dir.path);
    ASSERT_EQ(FileSpecFolder(&dir, &folderOf), noErr);
    EXPECT_EQ(folderOf.path, dir.path);

    FSSpec upper;
    FSMakeFSSpecFromPath(tmp / "dir/FILE.TXT", &upper);
    EXPECT_TRUE(FileSpecEqual(&file, &file));
    EXPECT_FALSE(FileSpecEqual(&file, &upper));   // Linux names differ by case
    EXPECT_TRUE(FileSpecEqual(nullptr, nullptr));
    EXPECT_FALSE(FileSpecEqual(&file, nullptr));

    bool isDir = false;
    UInt32 value = 0;
    ASSERT_EQ(FileSpecGetInfo(&file, &isDir, &value), noErr);
    EXPECT_FALSE(isDir);
    EXPECT_EQ(value, 5u);
    ASSERT_EQ(FileSpecGetInfo(&dir, &isDir, &value), noErr);
    EXPECT_TRUE(isDir);
    EXPECT_EQ(SInt32(value), file.parID);

    CInfoPBRec pb;
    ASSERT_EQ(FileGetCatInfo(file.vRefNum, file.parID, PStr255("File.txt").s, &pb), noErr);
    EXPECT_EQ(pb.path, file.path);
    ASSERT_EQ(FileGetCatInfo(file.vRefNum, file.parID, PStr255("").s, &pb), noErr);
    EXPECT_EQ(pb.path, dir.path);
    EXPECT_TRUE(pb.ioFlAttrib & kioFlAttribDirMask);
    EXPECT_EQ(FileGetCatInfo(file.vRefNum, file.parID, PStr255("nope").s, &pb), fnfErr);
    EXPECT_TRUE(FileSpecExists(&file));
    EXPECT_FALSE(FileSpecExists(&upper));
    FSSpec shortName;
    ASSERT_EQ(CopyFileSpecShortName(&file, &shortName), noErr);
    EXPECT_EQ(shortName.path, file.path);
}

}  // namespace
