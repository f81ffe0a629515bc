// The thumbnail table of an index page. The template's table holds one or more template rows;
// each becomes one table row per gallery row, its cells (everything from its first "<td" to
// its "</tr>") repeated once per column, and the k-th occurrence of an item token in the
// table then shows the page's k-th item.
#pragma once

#include "output/html/GalleryState.h"
#include "platform/MacTypes.h"

#include <string>

enum : OSErr { kGalleryNoTableErr = -192 };

// Rewrites the table of text for the page's items first..last with columns x rows cells
// (fewer on the last row when the items end there). kGalleryNoTableErr when the text has no
// item token inside a table with a row.
OSErr WriteGalleryIndexTable(const GalleryBuildState& state, SInt32 columns, SInt32 rows, SInt32 first, SInt32 last,
                             std::string* text);
