// Thumbnails of documents (the Office and PDF kinds): the first page of a PDF drawn by
// poppler, or the thumbnail picture that OOXML and OpenDocument files carry inside their ZIP
// container. Files of other kinds have none.
#pragma once

#include "media/kinds/KindInfo.h"

#include <string>

// The document's thumbnail fitted within size x size, as a new 32-bit world; null when the
// file has none (or cannot be read).
GWorldPtr ShellDocumentBitmap(const std::string& path, SInt32 size);

// The info reader: fills nothing in info; its product is the preview, made at the size the
// dispatch hands on. -192 when the document has no thumbnail.
OSErr GetShellDocumentInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* preview, UserData metadata, SInt32 size);
// The thumbnail reader: the size comes from the name's extension ('DOC '/'DOT ' 1123,
// 'XLS '/'XLT ' 347, 'PPT '/'POT ' 815, 'PDF ' 600, else 800). -192 without a thumbnail.
OSErr MakeShellDocumentThumbnail(const FSSpec* spec, GWorldPtr* preview);
SInt32 ShellDocumentThumbnailSize(OSType extensionType);
