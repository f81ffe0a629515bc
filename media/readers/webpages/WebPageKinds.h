// The web page kinds (handler 9): HTML documents and archives and XML documents, registered by
// the kind engine only for edition codes 200 and 500. Drawing a page needs the web view of the
// user interface, so the readers of these kinds are installed by the program's window side
// (media/ui/WebPageReaders.h); without them the kinds are known but not read.
#pragma once

#include "platform/MacTypes.h"

// 'HTML', 'HTM ' "HTML Document", 'MHT ' "HTML Archive", 'XML ' "XML Document", category HTML.
void KindRegisterWebPages();
