// Saving a catalog: a complete catalog file (header, every record back to back without
// reserves, the chunk stream, the trailer) made from the catalog file and the work file.
//
// A save never puts the catalog at risk. The new file is written to a temporary file in the
// target's folder, flushed, read back at its end, and only then renamed over the target (and
// the folder flushed); until that rename the catalog file, the work file and every entry of the
// open catalog are exactly as they were, so a save that fails, is cancelled or is cut short by
// a crash leaves the old file (or, after the rename, the new one) and never a mixture. A
// temporary file left by a crashed save is removed by the next save to that target.
#pragma once

#include "catalog/file/CatalogRec.h"

// Saves in place (newSpec null) or to newSpec (a file the caller names; made or replaced).
//   -54  the catalog has no work file
//   -49  in place while other users have the catalog open
//   -50  no target (an untitled catalog saved in place)
//   -37  neither catalog file nor work file
//   -1310 the catalog would reach 2 GB
//   -34  not enough free space on the target's volume, or the disk filled up while writing
//   the write probe's error (in place: the catalog file may not be written, e.g. read-only)
//   -27  any other failure once writing began (including a cancel from the progress procedure)
// After success every entry points into the new catalog file, the work file is empty, the
// catalog is unmodified and named after the target, catalog-modified (0) is posted, and a
// catalog saved under a new name holds a lock slot of its new file.
OSErr CatalogSave(CatalogRec* catalog, const FSSpec* newSpec, CatalogProgressProc progressProc,
                  long refCon);

// Writes the records of the catalog into target from offset 8 and plans their entries: to a new
// file, the catalog file's records in item order, then the work file's in item order; in
// place, the catalog file's records in the order they lie there (so records below lowestHole
// keep their places), then the work file's. newEntries receives the item's new entries (bit 27
// clear) and *endOfRecords the position after the last record; the catalog itself is not
// changed. A progress step that answers non-zero ends the copy with that answer.
OSErr CatalogCopyRecords(CatalogRec* catalog, bool inPlace, SInt16 targetRefNum,
                         ItemEntry* newEntries, SInt32* endOfRecords,
                         CatalogProgressProc progressProc, long refCon);

// The checks before a save writes anything: -37 without catalog and work file, -50 without a
// target, -1310 when catalog file + work file + 512 KB reach 2 GB, the system's error when the
// free space cannot be asked, -34 when it is not above what is needed.
OSErr CatalogCheckSaveSpace(SInt16 catalogRefNum, SInt16 workRefNum, const FSSpec* target);

// Whether the catalog file may be written (its first byte read and written back through a
// separate open); the catalog's own read-only open is left as it is. The error of the probe.
OSErr CatalogProbeWriteAccess(const CatalogRec* catalog);
