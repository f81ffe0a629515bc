#include "foundation/interface/Cursors.h"
#include "foundation/interface/SystemServices.h"
#include "platform/UiHooks.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cmath>
#include <vector>

namespace {

struct RecordingHooks : UiHooks {
    std::vector<int> cursors;
    std::vector<bool> shows;
    std::uint32_t mods = 0;
    bool escape = false;
    void SetCursor(int kind) override { cursors.push_back(kind); }
    void ShowCursor(bool show) override { shows.push_back(show); }
    std::uint32_t ModifierKeys() override { return mods; }
    bool EscapeKeyDown() override { return escape; }
};

struct HooksInstalled {
    RecordingHooks hooks;
    HooksInstalled() { SetUiHooks(&hooks); }
    ~HooksInstalled() { SetUiHooks(nullptr); }
};

TEST(Cursors, KindsMapToPointers) {
    HooksInstalled h;
    struct Case {
        short kind;
        int want;
    } cases[] = {
        {4, kCursorIBeam}, {5, kCursorCross}, {6, kCursorCross}, {7, kCursorWait}, {8, kCursorHand},
        {9, kCursorHand}, {17, kCursorResizeWE}, {0, kCursorArrow}, {3, kCursorArrow}, {18, kCursorArrow},
    };
    for (const auto& c : cases) {
        h.hooks.cursors.clear();
        SetCursorKind(c.kind);
        ASSERT_EQ(h.hooks.cursors.size(), 1u);
        EXPECT_EQ(h.hooks.cursors[0], c.want) << c.kind;
    }
    h.hooks.cursors.clear();
    SetWaitCursorDefault();
    EXPECT_EQ(SetWaitCursor(0), noErr);
    EXPECT_EQ(SetWaitCursor(2), noErr);
    EXPECT_EQ(SetWaitCursor(1), noErr);   // changes nothing
    EXPECT_EQ(h.hooks.cursors, (std::vector<int>{kCursorWait, kCursorWait, kCursorArrow}));
}

TEST(Cursors, HiddenOnceAndShownOnlyByItsHider) {
    HooksInstalled h;
    ShowCursorOnce(true);    // not hidden by us: nothing
    ShowCursorOnce(false);
    ShowCursorOnce(false);   // already hidden: nothing
    ShowCursorOnce(true);
    ShowCursorOnce(true);
    EXPECT_EQ(h.hooks.shows, (std::vector<bool>{false, true}));
}

TEST(Cursors, KeyStates) {
    HooksInstalled h;
    EXPECT_FALSE(IsControlKeyDown() || IsAltKeyDown() || IsShiftKeyDown() || IsEscapeKeyDown());
    h.hooks.mods = kModControl | kModShift;
    h.hooks.escape = true;
    EXPECT_TRUE(IsControlKeyDown());
    EXPECT_FALSE(IsAltKeyDown());
    EXPECT_TRUE(IsShiftKeyDown());
    EXPECT_TRUE(IsEscapeKeyDown());
}

TEST(Libraries, LoadLookUpAndFree) {
    void* m = reinterpret_cast<void*>(1);
    ASSERT_EQ(LoadLibraryChecked(&m, "libm.so.6"), noErr);
    ASSERT_NE(m, nullptr);
    auto cosine = reinterpret_cast<double (*)(double)>(GetProcAddressChecked(m, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetProcAddressChecked(m, "no_such_symbol_here"), nullptr);
    FreeLibraryChecked(&m);
    EXPECT_EQ(m, nullptr);
    FreeLibraryChecked(&m);   // harmless

    m = reinterpret_cast<void*>(1);
    EXPECT_EQ(LoadLibraryChecked(&m, "libnot-a-library-lyrex.so"), kLoadLibraryErr);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ(kLoadLibraryErr, -2817);
}

TEST(UserName, FromTheAccount) {
    Str255 name;
    GetUserNamePStr(name);
    passwd* pw = getpwuid(getuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), pw->pw_name);
}

}  // namespace
