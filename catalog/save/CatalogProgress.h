// The progress calls of the catalog engine: the caller's procedure when there is one, else the
// wait cursor.
#pragma once

#include "catalog/file/CatalogRec.h"

// Phase 0, 1 or 2 with (current, total, refCon); without a procedure SetWaitCursor kind 0
// (begin) or 1 (step, end) and 0. A step's non-zero answer ends the caller's loop.
OSErr CatalogProgressBegin(CatalogProgressProc proc, long current, long total, long refCon);
OSErr CatalogProgressStep(CatalogProgressProc proc, long current, long total, long refCon);
OSErr CatalogProgressEnd(CatalogProgressProc proc, long current, long total, long refCon);
