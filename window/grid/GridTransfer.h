// The bytes that carry catalog items through the clipboard and drag and drop, and the loops
// around them, without any window:
//
// - the view reference: which grid view of which process a drag comes from (a magic, the
//   process id and the view's serial number, never an address); read back only when its size,
//   magic and process id are exactly right;
// - the items payload: the transfer packages of the copied items (catalog/items/ItemTransfer.h),
//   a magic, a count and one length-prefixed block per item, every length checked;
// - text/uri-list, the form in which files go to and come from other programs;
// - the copy loop (which items really went out: Cut removes only those) and the paste loop
//   (stops at the first "catalog full").
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// ---- view reference ------------------------------------------------------------------------

inline constexpr std::size_t kViewRefSize = 16;
Bytes EncodeViewRef(UInt32 processId, UInt64 viewSerial);
// The serial of a reference made by this process (processId); false for anything else.
bool DecodeViewRef(const void* data, std::size_t size, UInt32 processId, UInt64* viewSerial);

// ---- items payload -------------------------------------------------------------------------

Bytes EncodeItems(const std::vector<Bytes>& packages);
// The packages of a payload; false (and nothing out) when any length does not add up.
bool DecodeItems(const void* data, std::size_t size, std::vector<Bytes>* packages);

// ---- file lists for other programs ---------------------------------------------------------

// "file://" URIs, one a line ended by CR LF, with every byte outside the unreserved set and "/"
// percent-encoded. Paths must be absolute.
std::string BuildUriList(const std::vector<std::string>& paths);
// The local paths of a text/uri-list: comments skipped, only file URIs (no host or
// "localhost"), percent-decoded; a line that does not decode is skipped.
std::vector<std::string> ParseUriList(const std::string& text);

// ---- copy and paste loops ------------------------------------------------------------------

struct CopiedItems {
    std::vector<Bytes> packages;
    std::vector<UInt32> ids;       // the unique ids of exactly the items packed, in order
    bool stoppedEarly = false;     // an item could not be read: the ones after it are left out
};
// Packs the selected items in order (next: the view's iteration of selected items) until one
// cannot be read.
CopiedItems CollectSelectedItems(const CatalogRec* catalog, const std::function<bool(SInt32* item)>& next);

struct PasteOutcome {
    SInt32 pasted = 0;
    bool catalogFull = false;      // stopped at the first "catalog full" (one alert)
    OSErr otherError = 0;          // the first other error, reported once after the loop
};
// Hands each package to paste(package, first) in order; -414 skips an item silently, -41
// stops the loop, any other error is remembered and the loop goes on.
PasteOutcome PasteItems(const std::vector<Bytes>& packages, const std::function<OSErr(const Bytes&, bool first)>& paste);

// Pastes one package into the catalog before the visible item position (0 appends).
OSErr PastePackage(CatalogRec* catalog, SInt32 position, const Bytes& package);
