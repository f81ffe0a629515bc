#include "window/panels/InfoListModel.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoRow.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"

#include <algorithm>

bool InfoRowIsHeader(const InfoRow* row) {
    return row && (row->kind == kInfoRowHeader || row->kind == kInfoRowEditableHeader ||
                   row->kind == kInfoRowNoItemHeader);
}

bool InfoRowIsEditable(const InfoRow* row) {
    return row && row->state != kInfoStateFixed &&
           (row->kind == kInfoRowField || row->kind == kInfoRowValue || row->kind == kInfoRowNewValue);
}

void InfoListBuild(const CatalogRec* catalog, int selectedCount, InfoListModel* model) {
    model->rows.clear();
    if (!catalog) return;
    const UInt32 count = InfoRowCount(catalog);
    bool shown = true, folded = false;
    for (UInt32 n = 1; n <= count; ++n) {
        const InfoRow* row = InfoGetRow(catalog, n);
        if (InfoRowIsHeader(row)) {
            const UInt32 group = UInt32(kFieldGroupTag) | (row->fieldId & 0xFF);
            shown = !CatalogHiddenFieldsContains(catalog, group);
            if (selectedCount > 1 && row->kind != kInfoRowEditableHeader) shown = false;
            folded = model->folded.count(row->fieldId) != 0;
            if (shown) model->rows.push_back(n);
            continue;
        }
        if (!shown || folded) continue;
        if (InfoFieldIsCustom(row->fieldId) || !CatalogHiddenFieldsContains(catalog, row->fieldId))
            model->rows.push_back(n);
    }
}

const InfoRow* InfoListRow(const CatalogRec* catalog, const InfoListModel& model, int index) {
    if (index < 0 || std::size_t(index) >= model.rows.size()) return nullptr;
    return InfoGetRow(catalog, model.rows[std::size_t(index)]);
}

int InfoListIndexOf(const InfoListModel& model, UInt32 rowNumber) {
    const auto it = std::find(model.rows.begin(), model.rows.end(), rowNumber);
    return it == model.rows.end() ? -1 : int(it - model.rows.begin());
}

bool InfoListToggleSection(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int index) {
    const InfoRow* row = InfoListRow(catalog, *model, index);
    if (!InfoRowIsHeader(row)) return false;
    if (!model->folded.erase(row->fieldId)) model->folded.insert(row->fieldId);
    InfoListBuild(catalog, selectedCount, model);
    return true;
}

namespace {

bool IsFoldedHeaderOf(const InfoRow* row, const InfoListModel& model, std::initializer_list<UInt32> sections) {
    if (!InfoRowIsHeader(row) || !model.folded.count(row->fieldId)) return false;
    return std::find(sections.begin(), sections.end(), row->fieldId) != sections.end();
}

}  // namespace

int InfoListSelectNext(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int s) {
    if (s < 0) return -1;
    const int r = s + 1;
    const InfoRow* row = InfoListRow(catalog, *model, r);
    if (InfoRowIsEditable(row)) return r;
    if (IsFoldedHeaderOf(row, *model,
                         {kInfoSectionAnnotations, kInfoSectionKeywords, kInfoSectionCategories, kInfoSectionPeople,
                          kInfoSectionScene, kInfoSectionSubjectCode})) {
        model->folded.erase(row->fieldId);
        InfoListBuild(catalog, selectedCount, model);
        return InfoListRow(catalog, *model, r + 1) ? r + 1 : -1;
    }
    return -1;
}

int InfoListSelectPrevious(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int s) {
    if (s < 1) return -1;
    if (InfoRowIsEditable(InfoListRow(catalog, *model, s - 1))) return s - 1;
    if (s < 2) return -1;
    const InfoRow* row = InfoListRow(catalog, *model, s - 2);
    if (InfoRowIsEditable(row)) return s - 2;
    if (IsFoldedHeaderOf(row, *model,
                         {kInfoSectionAnnotations, kInfoSectionKeywords, kInfoSectionCategories, kInfoSectionPeople})) {
        const std::size_t before = model->rows.size();
        model->folded.erase(row->fieldId);
        InfoListBuild(catalog, selectedCount, model);
        return s - 2 + int(model->rows.size() - before);
    }
    return -1;
}

bool InfoListDropAllowed(const CatalogRec* catalog, const InfoListModel& model, int from, int insertion) {
    const InfoRow* dragged = InfoListRow(catalog, model, from);
    if (!dragged || dragged->kind != kInfoRowValue || dragged->state == kInfoStateFixed) return false;
    if (insertion == from || insertion == from + 1) return false;  // it would stay where it is
    const InfoRow* before = InfoListRow(catalog, model, insertion - 1);
    const InfoRow* at = InfoListRow(catalog, model, insertion);
    const auto sameValue = [&](const InfoRow* r) {
        return r && r->kind == kInfoRowValue && r->fieldId == dragged->fieldId && r->state != kInfoStateFixed;
    };
    const bool atEnd = at && at->kind == kInfoRowNewValue && at->fieldId == dragged->fieldId;
    return sameValue(at) || (sameValue(before) && (atEnd || sameValue(at)));
}

UInt32 InfoListDropTarget(const CatalogRec* catalog, const InfoListModel& model, int insertion) {
    if (insertion >= 0 && std::size_t(insertion) < model.rows.size()) return model.rows[std::size_t(insertion)];
    return InfoRowCount(catalog) + 1;
}

std::vector<UInt32> InfoSetPath(const CatalogRec* catalog, UInt32 setNumber) {
    std::vector<UInt32> path;
    const OrganizeEntry* entry = OrganizeGetEntry(catalog, kOrganizeSetsField, setNumber);
    for (UInt32 n = setNumber; entry && n && path.size() < 256;) {
        path.push_back(n);
        n = OrganizeFindParent(catalog, kOrganizeSetsField, entry, n);
        entry = n ? OrganizeGetEntry(catalog, kOrganizeSetsField, n) : nullptr;
    }
    return path;
}
