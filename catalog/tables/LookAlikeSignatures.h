// The likeness signatures of the items' thumbnails, as the look-alike scan compares them.
// Decoding every thumbnail is most of a scan's work, so the signatures are kept with the open
// catalog and a later scan decodes only the thumbnails that changed. A kept signature is used
// only while the item's thumbnail block holds the very bytes it was made from (their length
// and a 128-bit hash of them), so a thumbnail rewritten where it lies, or records moved by a
// save, can never bring back a stale one. Nothing of this is written to the catalog file.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <vector>

// The signatures of the entries, kPictureSignatureSize bytes each into signatures, and for
// each a present byte: 1 when it has a thumbnail block that could be drawn, else 0 (its
// signature bytes are then zero). The catalog's kept signatures become those of these entries.
void CatalogLookAlikeSignatures(const CatalogRec* catalog, const std::vector<const ItemEntry*>& entries,
                                std::vector<UInt8>* signatures, std::vector<UInt8>* present);
