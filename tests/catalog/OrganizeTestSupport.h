// Small helpers for the organize tests: new catalogs, lists laid out from a compact
// description, and a readable picture of a list to compare with.
#pragma once

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace organize_test {

inline std::string PStr(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

struct Text {
    Str255 s;
    explicit Text(const std::string& text) {
        s[0] = UInt8(text.size());
        std::memcpy(s + 1, text.data(), text.size());
    }
    operator ConstStr255Param() const { return s; }
    operator StringPtr() { return s; }
};

// One entry: text, level, container flag, ids; expanded 1 unless said.
struct EntrySpec {
    std::string text;
    int level = 0;
    bool container = false;
    std::vector<UInt32> ids = {};
    int expanded = 1;
};

inline std::unique_ptr<OrganizeEntry> MakeEntry(const EntrySpec& spec) {
    auto e = std::make_unique<OrganizeEntry>();
    OrganizeEntrySetText(e.get(), Text(spec.text), false);
    e->level = UInt8(spec.level);
    e->container = spec.container ? 1 : 0;
    e->expanded = UInt8(spec.expanded);
    e->items = spec.ids;
    return e;
}

inline OrganizeList* SetList(CatalogRec* catalog, UInt32 fieldId, const std::vector<EntrySpec>& specs) {
    OrganizeList* list = OrganizeResetList(catalog, fieldId);
    std::vector<std::unique_ptr<OrganizeEntry>> entries;
    for (const auto& spec : specs) entries.push_back(MakeEntry(spec));
    list->assign(std::move(entries));
    return list;
}

// "text" for a top entry, "  text" per level, "+" after a container, then "[ids]" when it
// holds any: {"A+", "  B[3,4]", "C"}.
inline std::vector<std::string> Shape(const CatalogRec* catalog, UInt32 fieldId) {
    std::vector<std::string> out;
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    for (UInt32 n = 1; n <= OrganizeCountEntries(list); ++n) {
        const OrganizeEntry* e = OrganizeListEntryAt(list, n);
        std::string line(std::size_t(2 * e->level), ' ');
        line += PStr(e->text);
        if (e->container) line += "+";
        if (!e->items.empty()) {
            line += "[";
            for (std::size_t i = 0; i < e->items.size(); ++i) line += (i ? "," : "") + std::to_string(e->items[i]);
            line += "]";
        }
        out.push_back(line);
    }
    return out;
}

class OrganizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CatalogEngineInit(400, 200);
        ASSERT_EQ(CatalogOpen(&catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
        CatalogEngineShutdown();
    }
    CatalogRec* catalog_ = nullptr;
};

}  // namespace organize_test
