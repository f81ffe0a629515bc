// A catalog of real picture files made by the test in its own folder, viewed and selected, and
// a file-conflict asker that answers from a script and remembers what it was asked.
#pragma once

#include "../window/ViewTestSupport.h"

#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "import/adding/AddFiles.h"
#include "output/fileactions/FileConflicts.h"
#include "platform/Aliases.h"
#include "support/ImageFixtures.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class ScriptedAsker : public FileConflictAsker {
public:
    int Ask(const FileConflict& c) override {
        asked.push_back({c.variant, c.source.path, c.destination.path});
        const int answer = next < answers.size() ? answers[next] : kConflictSkip;
        ++next;
        return answer;
    }
    struct Question {
        int variant;
        std::string source, destination;
    };
    std::vector<int> answers;
    std::size_t next = 0;
    std::vector<Question> asked;
};

// A JPEG whose bytes differ with seed (a different size gives a different file).
inline std::string PictureBytes(int seed) { return fixtures::Jpeg(16 + seed * 8, 16 + seed * 4); }

class FileActionsTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        SetFileConflictAsker(&asker);
    }
    void TearDown() override {
        SetFileConflictAsker(nullptr);
        ResetConflictChoice();
        ViewTest::TearDown();
    }

    // Writes the files (relative path -> bytes), adds them to the catalog in that order and
    // selects every item in a list view.
    void Catalogue(const std::vector<std::pair<std::string, std::string>>& files) {
        std::vector<FSSpec> specs;
        for (const auto& [rel, bytes] : files) {
            folder.Write(rel, bytes);
            FSSpec s;
            ASSERT_EQ(FSMakeFSSpecFromPath(folder / rel, &s), noErr);
            specs.push_back(s);
            contents[folder / rel] = bytes;
        }
        SInt32 added = 0;
        ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added), noErr);
        ASSERT_EQ(added, SInt32(specs.size()));
        MakeView(kViewList, 400, 300, false);
        ViewSelectAll(view);
    }
    void SelectOnly(std::initializer_list<SInt32> items) {
        ViewDeselectAll(view);
        bool first = true;
        for (SInt32 i : items) {
            ViewSelectItem(view, i, first ? kSelectAlone : kSelectAdd, false);
            first = false;
        }
    }

    // Where the catalog says item n's file is, and whether it is there.
    std::string ItemPath(SInt32 n) {
        FSSpec s;
        CatalogFindItemPath(catalog, n, &s);
        return s.path;
    }
    bool ItemFound(SInt32 n) {
        FSSpec s;
        return CatalogFindItemPath(catalog, n, &s) == noErr;
    }
    std::string ItemName(SInt32 n) {
        ItemRec r;
        EXPECT_EQ(ItemReadRecord(catalog, n, &r), noErr);
        return PText(r.fileName);
    }
    // The path the item's stored alias names.
    std::string AliasPath(SInt32 n) {
        ItemRec r;
        if (ItemReadRecord(catalog, n, &r) != noErr || r.aliasStoredSize == 0) return {};
        Handle h = nullptr;
        PtrToHand(r.alias, &h, r.aliasStoredSize);
        const std::string path = AliasStoredPath(h);
        DisposeHandle(h);
        return path;
    }
    // The names in a folder of the test (hidden files included), sorted.
    std::vector<std::string> Names(const std::string& rel) {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder / rel)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string Bytes(const std::string& rel) { return TempFolder::Read(folder / rel); }

    ScriptedAsker asker;
    std::map<std::string, std::string> contents;  // what each file written held
};
