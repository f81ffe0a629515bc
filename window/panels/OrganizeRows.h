// The rows of the Organize panel's "Catalog Index" list and what a click on them does to the
// view's filters, apart from any window. For every enabled organizable field in the catalog's
// order: a header row, and when the field is unfolded one row per shown entry of its list
// (entries nested in a folded container are left out), or one "no entries" row. Entry rows
// refer to their list by field id and entry number, never by address.
#pragma once

#include "platform/MacTypes.h"

#include <vector>

struct CatalogRec;
struct ViewRec;

enum : SInt32 { kOrganizeRowHeader = -998, kOrganizeRowEmpty = -999 };

struct OrganizeRow {
    UInt32 field = 0;
    SInt32 entry = 0;             // 1-based entry number, or kOrganizeRowHeader / kOrganizeRowEmpty
    bool selectedItems = false;   // the entry holds an item selected in the view
    UInt8 level = 0;
    bool IsEntry() const { return entry > 0; }
};

// Rebuilds the rows; lists of unfolded fields that were never built are built first.
std::vector<OrganizeRow> OrganizeBuildRows(CatalogRec* catalog);
// Whether a row shows as selected: the view filters on its entry.
bool OrganizeRowIsFilter(const ViewRec* view, const OrganizeRow& row);
// The marking pass: sets each entry row's flag when its entry holds a selected item of the
// view. True when any flag changed.
bool OrganizeMarkRows(const CatalogRec* catalog, const ViewRec* view, std::vector<OrganizeRow>* rows);
// The first row of (field, entry), or -1.
int OrganizeFindRow(const std::vector<OrganizeRow>& rows, UInt32 field, SInt32 entry);

// A click on an entry row, by modifier: what happens to the view's filters. Plain: the entry
// becomes the only filter (an entry that already is one keeps the filters). Ctrl: the entry's
// filter is toggled. Shift: every entry row from the anchor row to this one becomes a filter.
// Answers true when the filters changed.
enum class OrganizeClick { kPlain, kToggle, kRange };
bool OrganizeClickFilter(ViewRec* view, const std::vector<OrganizeRow>& rows, int row, OrganizeClick how,
                         int anchorRow);
// The nearest entry row above (step -1) or below (+1) row; -1 at the ends.
int OrganizeNextEntryRow(const std::vector<OrganizeRow>& rows, int row, int step);

// Assigns the entry of a row to the items (u32 unique ids); false for a row without an entry
// or when nothing was given.
bool OrganizeDropItems(CatalogRec* catalog, const OrganizeRow& row, const std::vector<UInt32>& itemIds);

// Dragging a set: the level a drop at x (pixels from the row's left edge) before row dropRow
// takes, limited by the sets around it; -1 where a set cannot land.
int OrganizeSetDropLevel(const CatalogRec* catalog, const std::vector<OrganizeRow>& rows, int dropRow, int x);
// Moves set entry n before drop row at level; true when it moved. The view's filters follow.
bool OrganizeDropSet(CatalogRec* catalog, ViewRec* view, const std::vector<OrganizeRow>& rows, SInt32 n, int dropRow,
                     int level);
