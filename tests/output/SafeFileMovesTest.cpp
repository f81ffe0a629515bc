// Copies of one file: a copy cut short by a crash leaves only a hidden temporary file, which the
// next copy into that folder removes; a copy under way is never taken for such a leftover.
#include "output/fileactions/SafeFileMoves.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(SafeFileCopies, ACopyKilledHalfwayLeavesNoTargetAndItsLeftoverGoesWithTheNextCopy) {
    TempFolder folder;
    folder.Write("big.bin", std::string(3 << 20, 'b'));
    folder.Write("small.bin", "small");
    std::filesystem::create_directories(folder / "out");
    FSSpec big, small, bigCopy, smallCopy;
    FSMakeFSSpecFromPath(folder / "big.bin", &big);
    FSMakeFSSpecFromPath(folder / "small.bin", &small);
    bigCopy.path = folder / "out/big.bin";
    smallCopy.path = folder / "out/small.bin";

    // The copier stops for good after its first chunk, holding its temporary file.
    ChildProcess copier([&](ChildProcess& self) {
        CopyFileSafely(big, bigCopy, false, [&](SInt64, SInt64) -> OSErr {
            self.Send("copying");
            self.Receive(-1);
            return noErr;
        });
        return 0;
    });
    ASSERT_EQ(copier.Receive(), "copying");
    std::vector<std::string> during = NamesIn(folder / "out");
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".lxc-copy-", 0), 0u);
    // Another copy meanwhile leaves the running one alone.
    ASSERT_EQ(CopyFileSafely(small, smallCopy, false, nullptr), noErr);
    EXPECT_EQ(NamesIn(folder / "out"), (std::vector<std::string>{during[0], "small.bin"}));

    copier.Kill();
    // The target never appeared; the next copy into the folder clears the leftover.
    EXPECT_FALSE(std::filesystem::exists(folder / "out/big.bin"));
    FSSpec again;
    again.path = folder / "out/again.bin";
    ASSERT_EQ(CopyFileSafely(small, again, false, nullptr), noErr);
    EXPECT_EQ(NamesIn(folder / "out"), (std::vector<std::string>{"again.bin", "small.bin"}));
}

TEST(SafeFileCopies, AnExistingTargetIsKeptUnlessReplacingWasAsked) {
    TempFolder folder;
    folder.Write("a", "new");
    folder.Write("b", "old");
    FSSpec a, b;
    FSMakeFSSpecFromPath(folder / "a", &a);
    FSMakeFSSpecFromPath(folder / "b", &b);
    FileFailure failure;
    EXPECT_EQ(CopyFileSafely(a, b, false, nullptr, &failure), dupFNErr);
    EXPECT_EQ(failure.path, folder / "b");
    EXPECT_EQ(TempFolder::Read(folder / "b"), "old");
    EXPECT_EQ(MoveFileSafely(a, b, false, nullptr, &failure), dupFNErr);
    EXPECT_EQ(TempFolder::Read(folder / "a"), "new");
    EXPECT_EQ(CopyFileSafely(a, b, true, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(folder / "b"), "new");
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"a", "b"}));
}
