// Turning a template into a page: what each token of the token table becomes for an item (on a
// media page) or an index page number (on an index page), and the expansion of a page's
// tokens in place. Values from the catalog are encoded for HTML; file names and paths are the
// safe names the build made, percent-encoded where they stand in a URL.
#pragma once

#include "output/html/GalleryState.h"
#include "output/html/HtmlTokens.h"
#include "platform/MacTypes.h"

#include <cstddef>
#include <string>

// The HTML of one field of item n: the values of annotation fields joined by ", ", one value
// of other fields; a single blank when the item has no value.
std::string FieldValueHtml(const GalleryBuildState& state, UInt32 fieldId, SInt32 n);
// The listed fields of item n that have a value, one after another separated by "<br>", with
// labels each under its name in bold. Filename values lose a 3- or 4-letter extension.
std::string FieldListHtml(const GalleryBuildState& state, SInt32 n, const UInt32* fieldIds, int count, bool labels);
// The preview picture linked to the item's media page (at most 255 bytes: a piece that would
// pass that is left out).
std::string PreviewLinkHtml(const GalleryBuildState& state, const GalleryItemRec& item);
// The tag that shows the item's source for the tokens Media, PreloadNext and PreloadPrevious
// (given by their codes): a movie player object, a picture, or a 1 x 1 picture as a preload.
std::string MediaTagHtml(const GalleryBuildState& state, UInt32 tokenCode, const GalleryItemRec& item);
// The index pages as "first-last" entries joined by " | ", each a link but the current page
// on an index page; on a media page current is the item and its index page is found. A single
// blank with fewer than two index pages.
std::string IndexNavigationHtml(const GalleryBuildState& state, SInt32 current);
// The file name of the index page after (next) or before page, wrapping; empty with fewer
// than two index pages.
std::string IndexPageFileName(const GalleryBuildState& state, SInt32 page, bool next);

// What the token becomes for n; false when it is left in the text as written (tokens that
// have no meaning on the side being written).
bool ExpandTokenText(const GalleryBuildState& state, const std::string& token, SInt32 n, std::string* out);

// For n = first..last replaces the next occurrence of token at or after offset by its text for
// n (empty for an item number above the item count) and goes on after it; stops when the
// token is not found. Answers the offset after the last replacement.
std::size_t ExpandGalleryToken(const GalleryBuildState& state, SInt32 first, SInt32 last, std::string* text,
                               std::size_t offset, const std::string& token);
// Expands every token of the text once for n, from the start of the text.
OSErr ExpandPageTokens(const GalleryBuildState& state, SInt32 n, std::string* text);

// Percent-encodes what a URL path may not hold as it is ("/" stays).
std::string UrlPathEncode(const std::string& path);
