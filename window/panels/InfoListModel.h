// Which of the catalog's Info rows the Info panel's field list shows, and how its keyboard and
// drags move between them, apart from any window: the list is a map from list index to row
// number (1-based, InfoGetRow) rebuilt from the rows, the catalog's hidden fields and groups,
// and the list's own folded groups.
//
// Headers (kinds 0-2) carry the section number; rows of a hidden or folded section are left
// out. With more than one item selected only the editable sections (kind 1 headers) are
// listed, because only annotations can be edited for several items at once; the per-item
// sections (media, EXIF, tracks, sets) describe the current item alone.
#pragma once

#include "platform/MacTypes.h"

#include <set>
#include <vector>

struct CatalogRec;
struct InfoRow;

struct InfoListModel {
    std::vector<UInt32> rows;     // list index -> Info row number
    std::set<UInt32> folded;      // sections folded to their header
};

bool InfoRowIsHeader(const InfoRow* row);
// An editable row: an annotation field, a value or the add-a-value row that is not fixed.
bool InfoRowIsEditable(const InfoRow* row);
// Custom fields are never hidden from the list.
inline bool InfoFieldIsCustom(UInt32 fieldId) { return fieldId >= 769 && fieldId <= 783; }

// Rebuilds model->rows for the catalog's present rows.
void InfoListBuild(const CatalogRec* catalog, int selectedCount, InfoListModel* model);
// The Info row of list index i, or null.
const InfoRow* InfoListRow(const CatalogRec* catalog, const InfoListModel& model, int index);
// The list index showing Info row n, or -1.
int InfoListIndexOf(const InfoListModel& model, UInt32 rowNumber);

// Folds or unfolds a header's section (rebuilding the list); false for a row that is no header.
bool InfoListToggleSection(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int index);

// The row the Down key (and the end of an edit by Tab) selects after index s: the next row
// when it is editable; when it is the folded header of the annotations or a list section,
// that section opens and its first row is chosen. -1 when nothing changes.
int InfoListSelectNext(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int s);
// The row Up selects before index s: the row above when editable, else the one above that;
// when that one is the folded header of the annotations, keywords, categories or people, the
// section opens and its last row is chosen. -1 when nothing changes.
int InfoListSelectPrevious(const CatalogRec* catalog, int selectedCount, InfoListModel* model, int s);

// Where a value dragged from list index from would go when dropped before list index
// insertion: allowed only among the values of the same list field (kind 6 rows, with the
// field's add-a-value row ending them).
bool InfoListDropAllowed(const CatalogRec* catalog, const InfoListModel& model, int from, int insertion);
// The Info row number before which a drop at list index insertion puts the value.
UInt32 InfoListDropTarget(const CatalogRec* catalog, const InfoListModel& model, int insertion);

// A set and the sets that contain it, innermost first (entry numbers of the sets list); what
// the set row's menu offers to show.
std::vector<UInt32> InfoSetPath(const CatalogRec* catalog, UInt32 setNumber);
