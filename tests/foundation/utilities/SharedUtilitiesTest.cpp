// The shared utilities: the command-line style parser, text substitution in handles, string
// and handle helpers, listener sets, deleting to the trash, and opening addresses.
#include "foundation/utilities/Favorites.h"
#include "foundation/utilities/HandleText.h"
#include "foundation/utilities/ListenerWnd.h"
#include "foundation/utilities/OpenInBrowser.h"
#include "foundation/utilities/ShellFileOp.h"
#include "foundation/utilities/StringParser.h"
#include "support/PascalString.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

std::vector<std::u16string> Split(const std::u16string& text, const StringParserSettings& s = {}) {
    CStringParser p;
    p.Parse(text, s);
    return p.Tokens();
}

std::string Text(Handle h) { return std::string(*h, size_t(GetHandleSize(h))); }

Handle Make(const std::string& s) {
    Handle h = NewHandle(Size(s.size()));
    std::memcpy(*h, s.data(), s.size());
    return h;
}

}  // namespace

TEST(StringParserTest, SplitsAsTheProgramParsesCommandLines) {
    using V = std::vector<std::u16string>;
    struct Case { std::u16string in; V out; } cases[] = {
        {u"a  \"b c\" d", V{u"a", u"b c", u"d"}},
        {u"\"first word\" second", V{u"first word", u"second"}},     // a leading quote
        {u"say \"he said \"\"hi\"\"\"", V{u"say", u"he said \"hi\""}},  // doubled quote inside quotes
        {u"a b ", V{u"a", u"b"}},                                  // no empty token after a trailing blank
        {u"", V{}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.out, Split(c.in)) << std::string(c.in.begin(), c.in.end());
}

TEST(StringParserTest, EscapesSettingsAndTrailingTokens) {
    StringParserSettings s;
    s.escape = u'\\';
    // An odd run of escapes makes the quote a character; an even run is halved.
    EXPECT_EQ((std::vector<std::u16string>{u"a\"b"}), Split(u"a\\\"b", s));
    EXPECT_EQ((std::vector<std::u16string>{u"a\\b c"}), Split(u"a\\\\\"b c\"", s));
    StringParserSettings keep;
    keep.keepQuotes = true;
    EXPECT_EQ((std::vector<std::u16string>{u"w\"x y\"", u"z"}), Split(u"w\"x y\" z", keep));
    StringParserSettings trailing;
    trailing.separator = u',';
    trailing.collapseSeparators = false;
    trailing.noTrailingEmptyToken = false;
    EXPECT_EQ((std::vector<std::u16string>{u"a", u"", u"b", u""}), Split(u"a,,b,", trailing));
}

TEST(HandleTextTest, EveryOccurrenceIsReplacedAndReplacementsAreNotSearchedAgain) {
    Handle text = Make("<p>(Lyrex:Name)</p>(Lyrex:Name)!");
    PStr255 pattern("(Lyrex:Name)"), empty("");
    EXPECT_EQ(2, ReplaceTextInHandle(text, empty.s, pattern.s));
    EXPECT_EQ("<p></p>!", Text(text));
    DisposeHandle(text);

    Handle loop = Make("aXa");
    PStr255 a("a"), aa("aa");
    EXPECT_EQ(2, ReplaceTextInHandle(loop, aa.s, a.s));  // terminates: inserted text is skipped
    EXPECT_EQ("aaXaa", Text(loop));
    DisposeHandle(loop);
}

TEST(HandleTextTest, PrependCutsAt255AndDuplicateHandsBackACopy) {
    PStr255 dst(std::string(250, 'b')), prefix("aaaaaaaaaa");
    PStrPrepend(dst.s, prefix.s);
    EXPECT_EQ(255, dst.s[0]);
    EXPECT_EQ(std::string(10, 'a') + std::string(245, 'b'), dst.str());

    Handle original = Make("data");
    Handle h = original, out = nullptr;
    ASSERT_EQ(noErr, DuplicateHandleTo(&h, &out));
    EXPECT_EQ(original, out);
    EXPECT_NE(original, h);
    EXPECT_EQ("data", Text(h));
    DisposeHandle(h);
    DisposeHandle(out);
}

namespace {
struct Listener : CListenerWnd {
    int started = 0, stopped = 0;
    void StartListening() override { ++started; }
    void StopListening() override { ++stopped; }
};
}  // namespace

TEST(ListenerSetTest, MembersAreToldTogetherAndEitherSideMayGoFirst) {
    auto set = std::make_unique<ListenerSet>();
    Listener a, b;
    auto c = std::make_unique<Listener>();
    a.Attach(set.get());
    b.Attach(set.get());
    c->Attach(set.get());
    StartAllListeners(*set);
    EXPECT_EQ(1, a.started);
    EXPECT_EQ(1, c->started);
    c.reset();  // a listener destroyed first leaves the set
    EXPECT_EQ(2u, set->Size());
    StopAllListeners(*set);
    EXPECT_EQ(1, b.stopped);
    set.reset();  // the set destroyed first lets go of its members
    EXPECT_EQ(nullptr, a.AttachedSet());
}

TEST(ShellFileOpTest, DeletesForGoodOrToTheTrash) {
    SettingsSandbox sandbox;  // the trash is the user's, inside the sandbox
    TempFolder temp;
    const std::string gone = temp.Write("gone/inner.txt", "x");
    const std::string trashed = temp.Write("trashed.txt", "y");
    CShellFileOp op;
    const std::string folder = temp / "gone";
    EXPECT_EQ(noErr, op.Delete(std::u16string(folder.begin(), folder.end()), 1));
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(noErr, op.Delete(std::u16string(trashed.begin(), trashed.end()), 0));
    EXPECT_FALSE(std::filesystem::exists(trashed));
    EXPECT_EQ(bdNamErr, op.Delete(std::u16string(300, u'a'), 1));
}

TEST(OpenInBrowserTest, PathsBecomeFileAddressesAndAddressesStayWhole) {
    EXPECT_EQ("file:///tmp/my%20gallery/index.html", BrowserUriFor("/tmp/my gallery/index.html"));
    // Shell characters are part of the address, never commands.
    EXPECT_EQ("https://example.org/?q=a&b=$(rm -rf ~);x", BrowserUriFor("https://example.org/?q=a&b=$(rm -rf ~);x"));
    std::string error;
    EXPECT_FALSE(OpenInBrowser("", &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(OpenInBrowser("nosuchscheme-lyrex://nothing", &error));
    EXPECT_FALSE(error.empty());
}

class FavoritesTest : public testing::Test {
protected:
    SettingsSandbox sandbox_;
};

TEST_F(FavoritesTest, AListGrowsInItsFileAndReadsBack) {
    std::vector<std::string> entries = LoadFavorites("Keywords");
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(AddFavorite("Keywords", "Anna", &entries));
    EXPECT_TRUE(AddFavorite("Keywords", "Ann", &entries));  // a beginning of another entry is its own entry
    EXPECT_TRUE(AddFavorite("Keywords", "caf\xC3\xA9", &entries));
    EXPECT_FALSE(AddFavorite("Keywords", "ANNA", &entries));  // already there, letter case aside
    EXPECT_EQ((std::vector<std::string>{"Anna", "Ann", "caf\xC3\xA9"}), LoadFavorites("Keywords"));
    EXPECT_EQ("Anna\r\nAnn\r\ncaf\xE9\r\n", TempFolder::Read(FavoritesFilePath("Keywords")));
}

TEST_F(FavoritesTest, ReadingStopsAtALineTooLongAndTakesALastLineWithoutItsEnd) {
    const std::string path = FavoritesFilePath("People");
    ASSERT_FALSE(path.empty());
    SettingsSandbox::WriteFile(path, "one\r\n\r\n" + std::string(1023, 'x') + "\r\n" + "last");
    EXPECT_EQ((std::vector<std::string>{"one", std::string(1023, 'x'), "last"}), LoadFavorites("People"));
    SettingsSandbox::WriteFile(path, "one\r\n" + std::string(1024, 'y') + "\r\nafter\r\n");
    EXPECT_EQ((std::vector<std::string>{"one"}), LoadFavorites("People"));
}

TEST_F(FavoritesTest, AnOldFileBesideTheFolderIsMovedIntoPlace) {
    const std::string path = FavoritesFilePath("Places");
    const std::string folder = path.substr(0, path.rfind('/'));
    SettingsSandbox::WriteFile(folder + "Places", "Rome\r\n");
    EXPECT_EQ((std::vector<std::string>{"Rome"}), LoadFavorites("Places"));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(folder + "Places"));
}
