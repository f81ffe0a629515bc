// The option-set menu over a dialog's records: what it shows, saving (also over an existing
// set, and under a refused name), loading a set (also one gone from disk) and removing sets,
// with scripted answers in place of the name and list dialogs.
#include "output/optionsets/OptionSetMenu.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"
#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

Handle H(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}
std::string S(Handle h) { return h ? std::string(*h, std::size_t(GetHandleSize(h))) : std::string("<null>"); }

// A dialog's two records as plain strings.
class Client : public CSuitcaseClient {
public:
    void GetSettings(Handle* a, Handle* b, Handle* c) override {
        *a = H(first);
        *b = H(second);
    }
    void SetSettings(Handle a, Handle b, Handle c) override {
        ++sets;
        if (a) first = S(a);
        if (b) second = S(b);
    }
    bool SettingsDiffer(Handle a, Handle b, Handle) override { return S(a) != first || S(b) != second; }
    std::string Name() const { return std::string(reinterpret_cast<const char*>(setName + 1), setName[0]); }
    std::string first = "options", second = "settings";
    int sets = 0;
};

class ScriptedPrompts : public OptionSetPrompts {
public:
    bool AskSetName(const std::string& caption, int maxLength, std::string* n) override {
        askedCaption = caption;
        askedMax = maxLength;
        if (!answer) return false;
        *n = name;
        return true;
    }
    std::vector<int> ChooseSets(const std::string& caption, const std::vector<std::string>& names) override {
        listCaption = caption;
        offered = names;
        return chosen;
    }
    bool answer = true;
    std::string name;
    std::string askedCaption, listCaption;
    int askedMax = 0;
    std::vector<std::string> offered;
    std::vector<int> chosen;
};

class OptionSetMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetResourceModule(GetBuiltInResourceModule("en"));
        SetOptionSetPrompts(&prompts);
    }
    void TearDown() override {
        SetOptionSetPrompts(nullptr);
        SetResourceModule(nullptr);
    }
    std::string Entry(const std::string& set, const std::string& id) const {
        return SettingsSandbox::ReadFile(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/[IMGC]/" + set + "/EXPO/" + id);
    }
    void Save(const std::string& name) {
        prompts.name = name;
        EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 1, {}), noErr);
    }
    SettingsSandbox sandbox;
    ScriptedPrompts prompts;
    Client client;
    const SInt16 ids[3] = {3, 4, 0};
};

}  // namespace

TEST_F(OptionSetMenuTest, WithoutSetsTheMenuHasSaveAndADisabledRemoveAndNoSeparator) {
    std::vector<std::string> names;
    const auto items = BuildOptionSetMenu('IMGC', &names);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "&Save...");
    EXPECT_TRUE(items[0].enabled);
    EXPECT_EQ(items[1].text, "&Remove...");
    EXPECT_FALSE(items[1].enabled);
    EXPECT_TRUE(names.empty());
}

TEST_F(OptionSetMenuTest, SavedSetsFollowASeparatorAndChoosingOneLoadsIt) {
    Save("Web");
    EXPECT_EQ(prompts.askedCaption, "Save As:");
    EXPECT_EQ(prompts.askedMax, 63);
    EXPECT_EQ(client.Name(), "Web");
    client.first = "print options";
    Save("Print");
    std::vector<std::string> names;
    const auto items = BuildOptionSetMenu('IMGC', &names);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(items[1].enabled);
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(names, (std::vector<std::string>{"Print", "Web"}));
    EXPECT_EQ(items[3].text, "Print");

    // Position 4 + 1 is "Web".
    client.first = client.second = "changed";
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 5, names), noErr);
    EXPECT_EQ(client.first, "options");
    EXPECT_EQ(client.second, "settings");
    EXPECT_EQ(client.Name(), "Web");
}

TEST_F(OptionSetMenuTest, SavingUnderAnExistingNameReplacesItsEntriesAndKeepsTheOthers) {
    Save("Web");
    SettingsSandbox::WriteFile(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/[IMGC]/Web/EXPO/9", "other");
    client.first = "new options";
    Save("Web");
    EXPECT_EQ(Entry("Web", "3"), "new options");
    EXPECT_EQ(Entry("Web", "4"), "settings");
    EXPECT_EQ(Entry("Web", "9"), "other");
}

TEST_F(OptionSetMenuTest, ARefusedOrEmptyNameOrACancelWritesNothing) {
    for (const std::string name : {"..", "../../escape", "a/b", "a\\b"}) {
        prompts.name = name;
        EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 1, {}), bdNamErr) << name;
    }
    prompts.name = "";
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 1, {}), userCanceledErr);
    prompts.answer = false;
    prompts.name = "Fine";
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 1, {}), userCanceledErr);
    std::vector<std::string> names;
    BuildOptionSetMenu('IMGC', &names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(client.Name(), "");
    // Nothing was written anywhere beside the kind folder either.
    EXPECT_FALSE(fs::exists(sandbox.Root() + "/data/Lyrex/Plug-ins/escape"));
    EXPECT_FALSE(fs::exists(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/EXPO"));
}

TEST_F(OptionSetMenuTest, ALongNameIsCutTo63Characters) {
    Save(std::string(80, 'L'));
    EXPECT_EQ(client.Name(), std::string(63, 'L'));
    EXPECT_EQ(Entry(std::string(63, 'L'), "3"), "options");
}

TEST_F(OptionSetMenuTest, ChoosingASetDeletedMeanwhileChangesNothing) {
    Save("Web");
    std::vector<std::string> names;
    BuildOptionSetMenu('IMGC', &names);
    fs::remove_all(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/[IMGC]/Web");
    client.setName[0] = 0;
    client.first = "mine";
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 4, names), noErr);
    EXPECT_EQ(client.sets, 0);
    EXPECT_EQ(client.first, "mine");
    EXPECT_EQ(client.Name(), "");
}

TEST_F(OptionSetMenuTest, AnEntryMissingFromTheSetLeavesTheClientsOwnRecord) {
    Save("Web");
    fs::remove(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/[IMGC]/Web/EXPO/4");
    std::vector<std::string> names;
    BuildOptionSetMenu('IMGC', &names);
    client.first = client.second = "mine";
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 4, names), noErr);
    EXPECT_EQ(client.first, "options");
    EXPECT_EQ(client.second, "mine");
}

TEST_F(OptionSetMenuTest, RemoveDeletesTheChosenSetsOnly) {
    for (const char* n : {"A", "B", "C"}) Save(n);
    prompts.chosen = {3, 1};
    EXPECT_EQ(ActOnOptionSetMenu(&client, 'IMGC', ids, 2, {}), noErr);
    EXPECT_EQ(prompts.listCaption, "Remove");
    EXPECT_EQ(prompts.offered, (std::vector<std::string>{"A", "B", "C"}));
    std::vector<std::string> names;
    BuildOptionSetMenu('IMGC', &names);
    EXPECT_EQ(names, (std::vector<std::string>{"B"}));
    prompts.chosen = {};
    EXPECT_EQ(RemoveOptionSets('IMGC', 4), userCanceledErr);
    EXPECT_EQ(RemoveOptionSets('HTML', 4), userCanceledErr);   // no set of the kind: nothing asked
}
