// Print templates: the numbers and unit letter of a file turned into a box in points, commas
// read as decimal points under any locale, the folders read once in their order with at most 32
// templates, and hidden, unparsable and folder entries passed over.
#include "output/print/PrintTemplates.h"

#include "foundation/settings/AppFolders.h"
#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>

namespace {

void Write(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::filesystem::path TemplateFolder(SInt16 kind) {
    FSSpec folder;
    EXPECT_EQ(GetAppFolder(reinterpret_cast<const UInt8*>("\x0FPrint Templates"), kind, true, &folder), noErr);
    return folder.path;
}

}  // namespace

class PrintTemplatesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPrintTemplates(); }
    void TearDown() override { ResetPrintTemplates(); }
    SettingsSandbox sandbox;
};

TEST_F(PrintTemplatesTest, NumbersAndUnitBecomeABoxInPoints) {
    struct Case {
        const char* text;
        double left, top, width, height;
    } cases[] = {
        {"2,5 2,5 10 15 c", 70.83, 70.83, 283.33, 425.0},
        {"2.5\t2.5\n10 15 C trailing words", 70.83, 70.83, 283.33, 425.0},
        {"-1 -1 4 6 i", -1, -1, 289.08, 433.62},
        {"36 36 200 300 p", 36, 36, 200, 300},
        {"36 36 200 300 x", 36, 36, 200, 300},
        {"10 20 100 50 m", 28.33, 56.67, 283.33, 141.67},
        {"+1 -1 1 -1 i", 72.27, -1, 72.27, -1},
    };
    for (const Case& c : cases) {
        PrintTemplateRec r;
        ASSERT_TRUE(ParsePrintTemplate(c.text, &r)) << c.text;
        EXPECT_NEAR(r.left, c.left, 0.01) << c.text;
        EXPECT_NEAR(r.top, c.top, 0.01) << c.text;
        EXPECT_NEAR(r.width, c.width, 0.01) << c.text;
        EXPECT_NEAR(r.height, c.height, 0.01) << c.text;
    }
    for (const char* bad : {"", "1 2 3", "1 2 3 4", "1 2 three 4 c", "  \n", "a b c d e"}) {
        PrintTemplateRec r;
        EXPECT_FALSE(ParsePrintTemplate(bad, &r)) << bad;
    }
}

TEST_F(PrintTemplatesTest, ParsingIgnoresTheLocalesDecimalSeparator) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"));
    PrintTemplateRec a, b;
    const bool parsedA = ParsePrintTemplate("2.5 2.5 10 15 c", &a);
    const bool parsedB = ParsePrintTemplate("2,5 2,5 10 15 c", &b);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(parsedA && parsedB);
    EXPECT_NEAR(a.left, 70.83, 0.01);
    EXPECT_NEAR(b.left, 70.83, 0.01);
    EXPECT_NEAR(b.width, 283.33, 0.01);
}

TEST_F(PrintTemplatesTest, FoldersAreReadOnceInOrderSkippingWhatIsNoTemplate) {
    const auto user = TemplateFolder(kAppFolderUserData);
    const auto common = TemplateFolder(kAppFolderCommonData);
    Write(user / "b-card", "10 10 100 100 p");
    Write(user / "a-photo.txt", "1 1 10 15 c");
    Write(user / ".hidden", "1 1 1 1 c");
    Write(user / "a-photo.txt~", "garbage");
    Write(user / "notes.md", "a template folder");
    std::filesystem::create_directories(user / "sub folder");
    const std::string longName(70, 'n');
    Write(common / longName, "-1 -1 4 6 i");
    LoadPrintTemplates();
    ASSERT_EQ(GetPrintTemplateCount(), 3);
    EXPECT_EQ(GetPrintTemplateName(0), "a-photo.txt");
    EXPECT_EQ(GetPrintTemplateName(1), "b-card");
    EXPECT_EQ(GetPrintTemplateName(2), std::string(63, 'n'));
    EXPECT_EQ(GetPrintTemplateName(3), "");
    EXPECT_EQ(GetPrintTemplate(3), nullptr);
    EXPECT_NEAR(GetPrintTemplate(2)->width, 289.08, 0.01);
    // A file added while the program runs waits for the next start.
    Write(user / "c-later", "1 1 1 1 c");
    LoadPrintTemplates();
    EXPECT_EQ(GetPrintTemplateCount(), 3);
}

TEST_F(PrintTemplatesTest, AtMostThirtyTwoTemplatesInFolderOrder) {
    const auto user = TemplateFolder(kAppFolderUserData);
    const auto common = TemplateFolder(kAppFolderCommonData);
    for (int i = 0; i < 30; ++i) Write(user / ("u" + std::to_string(100 + i)), "1 1 1 1 c");
    for (int i = 0; i < 3; ++i) Write(common / ("c" + std::to_string(i)), "1 1 1 1 c");
    LoadPrintTemplates();
    ASSERT_EQ(GetPrintTemplateCount(), kMaxPrintTemplates);
    EXPECT_EQ(GetPrintTemplateName(29), "u129");
    EXPECT_EQ(GetPrintTemplateName(30), "c0");
    EXPECT_EQ(GetPrintTemplateName(31), "c1");
}
