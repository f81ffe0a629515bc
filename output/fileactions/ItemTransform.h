// Turning and mirroring items: the per-item step of the rotate and flip commands. An item's
// orientation (the record's transform code) is combined with the command's, and its stored
// thumbnail is turned the same way, so the catalog shows the item as the user turned it; the
// media file itself is never touched. Default Orientation reads the file's own orientation and
// thumbnail again.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

// The per-item procedure (ItemActionProc) of ViewTransformSelection: parameter is the transform
// code (0 back to the file's own orientation). Answers 0 so that one item that cannot be turned
// does not stop the others.
OSErr TransformItem(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);
