// MultiAd Creator page-layout documents ('Crtr', 'CRTR'), catalogued by their stored preview
// (a JPEG, or failing that a pixel map), their page size and a few annotation texts, which
// become IPTC datasets of the item. The document is a stream of tagged records, some holding
// streams of their own. A built-in reader registered only for edition code 500.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

enum : OSErr {
    kCreatorNotADocumentErr = -8970,  // the first record is not the document's
    kCreatorNoPreviewErr = -192,
};

void KindRegisterCreator();
bool IsCreatorType(OSType type);

// Page count and size, the document code as the format name, the annotations as an 'iptc'
// item, and the preview (else the pixel map) in *offscreen.
OSErr CreatorGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr CreatorMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, UInt16 orientation);
