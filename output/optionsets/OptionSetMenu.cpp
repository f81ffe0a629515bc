#include "output/optionsets/OptionSetMenu.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

OptionSetPrompts gDefaultPrompts;
OptionSetPrompts* gPrompts = nullptr;
std::string gDefaultFontFace = "Sans";

std::string StringText(UInt16 id) {
    std::string text;
    LoadResourceStringUtf8(id, &text);
    return text;
}

void ToPStr(const std::string& s, Str255 out) {
    PStrFromBytes(out, s.data(), long(std::min<std::size_t>(s.size(), 255)));
}

void FreeAll(Handle a, Handle b, Handle c) {
    if (a) DisposeHandle(a);
    if (b) DisposeHandle(b);
    if (c) DisposeHandle(c);
}

// The view-set entry's four blocks and where pane i's copy lies in the preferences record.
constexpr Size kBlock24 = 24, kBlock16 = 16, kBlockFont = 516, kBlock80 = 80;
constexpr Size kViewSetEntrySize = kBlock24 + kBlock16 + kBlockFont + kBlock80;
static_assert(kViewSetEntrySize == 636);

}  // namespace

void SetOptionSetPrompts(OptionSetPrompts* prompts) { gPrompts = prompts; }
OptionSetPrompts& GetOptionSetPrompts() { return gPrompts ? *gPrompts : gDefaultPrompts; }
void SetDefaultViewFontFace(const std::string& ansiFaceName) { gDefaultFontFace = ansiFaceName; }

std::vector<OptionSetMenuItem> BuildOptionSetMenu(OptionSetKind kind, std::vector<std::string>* names) {
    if (kind == kOptionSetView) CreateDefaultViewOptionSets();
    std::vector<std::string> found;
    if (Handle h = NewHandle(0)) {
        ForEachOptionSet(kind, h);
        found = OptionSetNames(h);
        DisposeHandle(h);
    }
    std::vector<OptionSetMenuItem> items;
    items.push_back({StringText(140), true, false});
    items.push_back({StringText(141), !found.empty(), false});
    if (!found.empty()) {
        items.push_back({"", false, true});
        for (const auto& n : found) items.push_back({n, true, false});
    }
    if (names) *names = found;
    return items;
}

OSErr ActOnOptionSetMenu(CSuitcaseClient* client, OptionSetKind kind, const SInt16 ids[3], int choice,
                         const std::vector<std::string>& names) {
    if (!client) return paramErr;
    if (choice == 1) {
        std::string name;
        if (!GetOptionSetPrompts().AskSetName(StringText(14105), kOptionSetNameMaxLength, &name)) return userCanceledErr;
        if (name.size() > std::size_t(kOptionSetNameMaxLength)) name.resize(kOptionSetNameMaxLength);
        if (name.empty()) return userCanceledErr;
        Str255 pname;
        ToPStr(name, pname);
        FSSpec setSpec;
        const OSErr err = OpenOptionSetFile(kind, pname, &setSpec, nullptr);
        if (err != noErr && err != fnfErr) return err;
        Handle a = nullptr, b = nullptr, c = nullptr;
        client->GetSettings(&a, &b, &c);
        SaveExportSettings(&setSpec, a, ids[0], b, ids[1], c, ids[2]);
        PStrCopy(client->setName, pname);
        FreeAll(a, b, c);
        return noErr;
    }
    if (choice == 2) return RemoveOptionSets(kind, 4);
    if (choice < 4 || std::size_t(choice - 4) >= names.size()) return noErr;
    Str255 pname;
    ToPStr(names[std::size_t(choice - 4)], pname);
    FSSpec setSpec;
    const OSErr err = OpenOptionSetFile(kind, pname, &setSpec, nullptr);
    if (err != noErr) return noErr;   // gone meanwhile: nothing to load
    Handle a = nullptr, b = nullptr, c = nullptr;
    LoadExportSettings(&setSpec, &a, ids[0], nullptr, 0, &b, ids[1], &c, ids[2]);
    client->SetSettings(a, b, c);
    PStrCopy(client->setName, pname);
    FreeAll(a, b, c);
    return noErr;
}

OSErr RemoveOptionSets(OptionSetKind kind, SInt16 titleIndex) {
    Handle h = NewHandle(0);
    if (!h) return memFullErr;
    ForEachOptionSet(kind, h);
    const std::vector<std::string> names = OptionSetNames(h);
    DisposeHandle(h);
    if (names.empty()) return userCanceledErr;
    const std::vector<int> chosen = GetOptionSetPrompts().ChooseSets(StringText(UInt16(14100 + titleIndex)), names);
    if (chosen.empty()) return userCanceledErr;
    for (int position : chosen) {
        if (position < 1 || std::size_t(position) > names.size()) continue;
        Str255 pname;
        ToPStr(names[std::size_t(position - 1)], pname);
        DeleteOptionSet(kind, pname);
    }
    return noErr;
}

Handle BuildViewSetEntry(ConstStr255Param name, int i) {
    Handle entry = NewHandleClear(kViewSetEntrySize);
    if (!entry) return nullptr;
    unsigned char* out = reinterpret_cast<unsigned char*>(*entry);
    unsigned char* b24 = out;
    unsigned char* b16 = out + kBlock24;
    unsigned char* bFont = b16 + kBlock16;
    unsigned char* b80 = bFont + kBlockFont;
    FSSpec layout;
    if (OpenOptionSetFile(OptionSetKind(kOptionSetLayout0 + i), name, &layout, nullptr) == noErr) {
        auto copyFrom = [&](SInt16 id, Size skip, unsigned char* to, Size count) {
            Handle h = ReadOptionSetResource(&layout, kOptionSetEntryType, id);
            if (!h) return;
            const Size have = GetHandleSize(h);
            if (have > skip) std::memcpy(to, *h + skip, std::size_t(std::min(count, have - skip)));
            DisposeHandle(h);
        };
        copyFrom(1, 0, b24, kBlock24);
        copyFrom(2, 0, b16, kBlock16);
        copyFrom(2, kBlock16, bFont, kBlockFont);
        copyFrom(3, 0, b80, kBlock80);
        return entry;
    }
    const unsigned char* prefs = reinterpret_cast<const unsigned char*>(GetPreferences());
    std::memcpy(b24, prefs + 2676 + 24 * i, kBlock24);
    std::memcpy(b16, prefs + 2612 + 16 * i, kBlock16);
    std::memcpy(bFont, prefs + 2772 + 516 * i, kBlockFont);
    std::memcpy(b80, prefs + 2292 + 80 * i, kBlock80);
    // The default font: size 9, plain, the system's face name.
    const UInt16 size = 9, style = 0;
    std::memcpy(bFont, &size, 2);
    std::memcpy(bFont + 2, &style, 2);
    std::memset(bFont + 4, 0, kBlockFont - 4);
    std::memcpy(bFont + 4, gDefaultFontFace.data(), std::min<std::size_t>(gDefaultFontFace.size(), kBlockFont - 5));
    return entry;
}

void MigrateLayoutSets(int n) {
    Handle h = NewHandle(0);
    if (!h) return;
    ForEachOptionSet(OptionSetKind(kOptionSetLayout0 + n), h);
    const std::vector<std::string> names = OptionSetNames(h);
    DisposeHandle(h);
    for (const auto& n2 : names) {
        Str255 pname;
        ToPStr(n2, pname);
        FSSpec viewSet;
        if (OpenOptionSetFile(kOptionSetView, pname, &viewSet, nullptr) != fnfErr) continue;
        Handle e0 = BuildViewSetEntry(pname, 0), e1 = BuildViewSetEntry(pname, 1), e2 = BuildViewSetEntry(pname, 2);
        if (e0 && e1 && e2) SaveExportSettings(&viewSet, e0, 1, e1, 2, e2, 3);
        FreeAll(e0, e1, e2);
    }
}

void CreateDefaultViewOptionSets() {
    Handle h = NewHandle(0);
    if (!h) return;
    ForEachOptionSet(kOptionSetView, h);
    const bool none = GetHandleSize(h) == 0;
    DisposeHandle(h);
    if (!none) return;
    for (int n = 0; n < 3; ++n) MigrateLayoutSets(n);
}
