#include "foundation/resources/ResourceStrings.h"

#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"
#include "resources/ResourceStore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

std::string Loaded(long list, long index) {
    Str255 s;
    s[0] = 99;  // must be overwritten even when the string is missing
    LoadIndexedString(s, list, index);
    return Text(s);
}

// Every test leaves the program's own table in charge.
class ResourceStrings : public testing::Test {
protected:
    void TearDown() override { SetResourceModule(nullptr); }
    std::string WriteTempFile(const std::string& name, const std::string& contents) {
        return temp_.Write(name, contents);
    }
    TempFolder temp_;
};

TEST_F(ResourceStrings, StringIdsWrapAt65536) {
    struct Case {
        long list, index;
        UInt16 id;
    };
    const Case cases[] = {{130, 5, 13005}, {655, 40, 4}, {599, 1, 59901}, {0, 0, 0}, {655, 35, 65535}, {656, 0, 64}};
    for (const auto& c : cases) EXPECT_EQ(IndexedStringId(c.list, c.index), c.id) << c.list << "/" << c.index;
}

TEST_F(ResourceStrings, EnglishTableHoldsTheTextsOtherPartsRelyOn) {
    struct Case {
        long list, index;
        const char* text;  // Windows-1252
    };
    const Case cases[] = {
        {130, 34, "The command couldn't be completed, because an error occurred while reading the catalog."},
        {130, 79, "^0\n^1"},
        {130, 70, "Save changes to '^0' before closing?\n "},
        {129, 1, "OK"},
        {129, 33, "&Empty"},
        {133, 1, "None"},
        {133, 10, "Gray"},
        {599, 1, "Catalog"},
        {514, 1, "January"},
        {514, 12, "December"},
        {515, 1, "Sunday"},
        {515, 7, "Saturday"},
        {513, 1, "bytes"},
        {513, 4, "GB"},
        {511, 1, "sec"},
        {511, 16, "/sec"},
        {510, 1, "Caption"},
        {510, 93, "Caption"},
        {510, 26, "Encoding"},
        {510, 76, "Source"},
        {510, 79, "URL"},
        {510, 89, "Frame Rate"},
        {510, 90, "Data Rate"},
        {516, 9, "Photo EXIF"},
        {521, 8, "HTML"},
        {522, 1, "Auto"},
        {528, 8, "OFF - Compulsory flash mode"},
        {530, 7, "90\xB0 CCW"},  // the degree sign arrives as its Windows-1252 byte
        {136, 2, "Moving media files..."},
        {146, 41, "Remove selected media items..."},
        {1, 0, "&Clear Menu"},
    };
    for (const auto& c : cases) EXPECT_EQ(Loaded(c.list, c.index), c.text) << c.list << "/" << c.index;

    std::string filter;
    EXPECT_TRUE(LoadResourceStringUtf8(59561, &filter));
    EXPECT_EQ(filter, "All Files (*.*)|*.*");
}

TEST_F(ResourceStrings, EveryEnglishTextIsWindows1252) {
    const ResStringTable* en = ResFindStringTable("en");
    ASSERT_NE(en, nullptr);
    for (std::size_t i = 0; i < en->count; ++i) {
        std::string ansi;
        EXPECT_TRUE(Utf8ToAnsiExact(std::string_view(en->entries[i].text, en->entries[i].length), &ansi))
            << "string " << en->entries[i].id << " holds a character 8-bit callers cannot show";
    }
}

TEST_F(ResourceStrings, MissingStringsAreEmpty) {
    // Ids no table holds: entry 0 of the alert list, and a list nobody fills.
    EXPECT_EQ(Loaded(130, 0), "");
    EXPECT_EQ(Loaded(139, 36), "");
    Str255 s;
    PStrFromBytes(s, "keep", 4);
    AppendIndexedString(s, 139, 90);
    EXPECT_EQ(Text(s), "keep");
    std::string text = "junk";
    EXPECT_FALSE(LoadResourceStringUtf8(13966, &text));
    EXPECT_EQ(text, "");
}

TEST_F(ResourceStrings, AppendCutsAt255) {
    Str255 s;
    PStrFromBytes(s, std::string(250, 'a').data(), 250);
    AppendIndexedString(s, 130, 1);  // "Update folder ..."
    EXPECT_EQ(s[0], 255);
    EXPECT_EQ(Text(s), std::string(250, 'a') + "Updat");
}

TEST_F(ResourceStrings, LanguageModuleOverlaysAndFallsBack) {
    const std::string longText(300, 'L');
    std::string path = WriteTempFile("lang-fr.txt",
                                     "# French, partly\r\n"
                                     "12901\tD'accord\r\n"
                                     "13005\tLe fichier n'est pas mont\xC3\xA9 !\\nVraiment ?\r\n"
                                     "13099\t" + longText + "\n"
                                     "13098\t\xCE\xA9 \xE2\x82\xAC\n");
    ResourceModule* fr = nullptr;
    ASSERT_EQ(LoadResourceModuleFile(path.c_str(), &fr), noErr);
    ASSERT_NE(fr, nullptr);
    SetResourceModule(fr);
    EXPECT_EQ(GetResourceModule(), fr);

    EXPECT_EQ(Loaded(129, 1), "D'accord");
    EXPECT_EQ(Loaded(130, 5), "Le fichier n'est pas mont\xE9 !\nVraiment ?");
    EXPECT_EQ(Loaded(130, 99), std::string(254, 'L')) << "a 300-character string comes back as 254";
    EXPECT_EQ(Loaded(130, 98), "? \x80") << "characters outside Windows-1252 become '?'";
    EXPECT_EQ(Loaded(129, 2), "Cancel") << "what the module lacks comes from the English table";
    std::string whole;
    EXPECT_TRUE(LoadResourceStringUtf8(13099, &whole));
    EXPECT_EQ(whole, longText) << "the interface gets the whole text";

    // Typed resources never come from the language module.
    Handle h = reinterpret_cast<Handle>(&whole);
    EXPECT_EQ(LoadResourceHandle(&h, 'TIFF', 4242), resNotFound);
    EXPECT_EQ(h, nullptr);

    DisposeResourceModule(fr);
    EXPECT_EQ(GetResourceModule(), nullptr) << "disposing the current module must not leave it dangling";
    EXPECT_EQ(Loaded(129, 1), "OK");

    ResourceModule* en = GetBuiltInResourceModule("en");
    ASSERT_NE(en, nullptr);
    SetResourceModule(en);
    EXPECT_EQ(Loaded(129, 1), "OK");
    DisposeResourceModule(en);  // built-in: left alone
    EXPECT_EQ(GetResourceModule(), en);
    EXPECT_EQ(GetBuiltInResourceModule("xx"), nullptr);
}

TEST_F(ResourceStrings, BadLanguageFilesAreRefused) {
    struct Case {
        const char* what;
        std::string contents;
        OSErr err;
        const char* problem;  // expected start of the message
    };
    const Case cases[] = {
        {"no tab", "12901 OK\n", paramErr, "line 1:"},
        {"duplicate id", "1\ta\n\n2\tb\n1\tc\n", paramErr, "line 4:"},
        {"invalid UTF-8", "1\tok\n2\t\xFF\n", paramErr, "line 2:"},
        {"empty file is a valid, empty table", "", noErr, ""},
    };
    for (const auto& c : cases) {
        std::string path = WriteTempFile("bad.txt", c.contents);
        ResourceModule* m = reinterpret_cast<ResourceModule*>(&path);
        std::string problem;
        EXPECT_EQ(LoadResourceModuleFile(path.c_str(), &m, &problem), c.err) << c.what;
        if (c.err != noErr) {
            EXPECT_EQ(m, nullptr) << c.what;
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << c.what << ": " << problem;
        }
        DisposeResourceModule(m);
    }
    ResourceModule* m = nullptr;
    EXPECT_EQ(LoadResourceModuleFile((temp_ / "no-such-language.txt").c_str(), &m), fnfErr);
    EXPECT_EQ(LoadResourceModuleFile(temp_.path().c_str(), &m), fnfErr) << "a folder is not a table";
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(ResourceStrings, TypedResourcesComeWhole) {
    struct Case {
        long id;
        const char* file;
    };
    const Case cases[] = {{1000, "thumbnail-frame.tif"}, {1001, "thumbnail-shadow.tif"}};
    for (const auto& c : cases) {
        std::string expected = FileBytes(std::string(LYREX_SOURCE_DIR) + "/resources/typed/" + c.file);
        ASSERT_FALSE(expected.empty()) << c.file;
        Handle h = nullptr;
        ASSERT_EQ(LoadResourceHandle(&h, 'TIFF', c.id), noErr) << c.file;
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(std::string(*h, size_t(GetHandleSize(h))), expected) << c.file;
        DisposeHandle(h);
    }
}

TEST_F(ResourceStrings, MissingTypedResource) {
    Handle h = NewHandle(1);
    Handle keep = h;
    EXPECT_EQ(LoadResourceHandle(&h, 'TIFF', 4242), resNotFound);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(LoadResourceHandle(&h, 'ZZZZ', 1000), resNotFound);
    EXPECT_EQ(LoadResourceHandle(nullptr, 'TIFF', 1000), paramErr);
    DisposeHandle(keep);
}

}  // namespace
