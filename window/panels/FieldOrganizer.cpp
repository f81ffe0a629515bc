#include "window/panels/FieldOrganizer.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/settings/TypedSettings.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

const std::vector<UInt32>& FieldOrganizerCodes() {
    static const std::vector<UInt32> codes = [] {
        std::vector<UInt32> c = {kOrganizerSeparator, kOrganizerListHeading, kOrganizerSaveDefault, kOrganizerLoadDefault,
                                 kOrganizerSeparator, kOrganizerQuickHeading, 522, 162, 161,
                                 kOrganizerSeparator, kOrganizerMediaHeading, 3, 67, 24, 27,
                                 kOrganizerSeparator, kOrganizerAnnotationHeading,
                                 517, 527, 534, 519, 592, 622, 627, 615, 628, 613, 607, 602, 604, 630, 537, 532};
        for (UInt32 custom = 769; custom <= 784; ++custom) c.push_back(custom);
        return c;
    }();
    return codes;
}

void FieldOrganizerSetShown(CatalogRec* catalog, UInt32 fieldId, bool shown) {
    if (!catalog || OrganizeFieldRowIndex(fieldId) < 0 || OrganizeIsEnabled(catalog, fieldId) == shown) return;
    OrganizeSetEnabled(catalog, fieldId, shown);
    if (shown) OrganizeBuildList(catalog, fieldId, nullptr, 0);
    CatalogSetModified(catalog);
}

namespace {

// The saved default: the shown fields' ids, u32 each in machine order.
std::vector<UInt32> SavedDefault(bool* found) {
    Handle h = LoadFieldSettings2();
    *found = h != nullptr;
    std::vector<UInt32> ids;
    if (h) {
        ids.resize(std::size_t(GetHandleSize(h)) / sizeof(UInt32));
        if (!ids.empty()) std::memcpy(ids.data(), *h, ids.size() * sizeof(UInt32));
        DisposeHandle(h);
    }
    return ids;
}

}  // namespace

void FieldOrganizerSaveDefault(const CatalogRec* catalog) {
    if (!catalog) return;
    std::vector<UInt32> ids;
    for (UInt32 f = OrganizeNextField(catalog, 0, true); f; f = OrganizeNextField(catalog, f, true)) ids.push_back(f);
    Handle h = NewHandle(Size(ids.size() * sizeof(UInt32)));
    if (!h) return;
    if (!ids.empty()) std::memcpy(*h, ids.data(), ids.size() * sizeof(UInt32));
    SaveFieldSettings2(h);
    DisposeHandle(h);
}

bool FieldOrganizerHasDefault() {
    bool found = false;
    SavedDefault(&found);
    return found;
}

bool FieldOrganizerLoadDefault(CatalogRec* catalog) {
    bool found = false;
    const std::vector<UInt32> ids = SavedDefault(&found);
    if (!catalog || !found) return false;
    for (UInt32 f = OrganizeNextField(catalog, 0, false); f; f = OrganizeNextField(catalog, f, false))
        FieldOrganizerSetShown(catalog, f, std::find(ids.begin(), ids.end(), f) != ids.end());
    return true;
}
