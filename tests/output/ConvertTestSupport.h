// A catalog of real media files made by the test, a view with every item selected, the
// conversion options stored as the dialogs store them, and scripted answers to the question
// about existing files.
#pragma once

#include "window/ViewTestSupport.h"

#include "catalog/items/ItemFiles.h"
#include "foundation/settings/TypedSettings.h"
#include "import/adding/AddFiles.h"
#include "output/convert/ConvertOptions.h"
#include "output/convert/ConvertRun.h"
#include "output/convert/ExporterLists.h"
#include "support/RunTool.h"

#include <deque>
#include <filesystem>

class ScriptedConflicts : public ConvertPrompts {
public:
    SInt16 AskReplace(const std::string& fileName, const std::string& folderPath) override {
        asked.push_back(fileName);
        if (answers.empty()) return kConflictSkip;
        const SInt16 a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<SInt16> answers;
    std::vector<std::string> asked;
};

class ConvertTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        SetConvertPrompts(&conflicts);
        std::filesystem::create_directories(folder / "media");
        std::filesystem::create_directories(folder / "out");
    }
    void TearDown() override {
        SetConvertPrompts(nullptr);
        FreeExporterLists();
        ViewTest::TearDown();
    }
    // Adds the files (paths under the test folder) to the catalog and selects them all.
    void AddAndSelect(const std::vector<std::string>& files) {
        std::vector<FSSpec> specs;
        for (const auto& f : files) {
            FSSpec s;
            FSMakeFSSpecFromPath(folder / f, &s);
            specs.push_back(s);
        }
        SInt32 added = 0;
        ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added), noErr);
        ASSERT_EQ(added, SInt32(files.size()));
        MakeView(kViewList, 400, 300, false);
        ViewSelectAll(view);
    }
    void StoreOptions(ConvertMediaKind kind, const ConvertOptionsRec& options, const ExporterSettings* settings = nullptr) {
        const ConvertEntryIds ids = ConvertEntries(kind);
        Handle h = ConvertOptionsToHandle(options);
        SaveTypedSetting('EXPO', ids.options, h);
        DisposeHandle(h);
        if (settings) {
            Handle s = ExporterSettingsToHandle(*settings);
            SaveTypedSetting('EXPO', ids.settings, s);
            DisposeHandle(s);
        }
    }
    FSSpec Folder(const std::string& rel) {
        FSSpec s;
        FSMakeFSSpecFromPath(folder / rel, &s);
        return s;
    }
    std::string ItemPath(SInt32 n) {
        FSSpec s;
        CatalogFindItemPath(catalog, n, &s);
        return s.path;
    }
    // Names in a folder, without the catalog's work file.
    std::vector<std::string> Names(const std::string& rel) {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::directory_iterator(folder / rel))
            if (e.path().filename() != "catalog.work") out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
    ScriptedConflicts conflicts;
};
