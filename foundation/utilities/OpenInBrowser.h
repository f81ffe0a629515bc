// Opening a web address, or a local file such as a gallery's index page, with the desktop's
// handler for it. GIO starts the handler with an argument list: no shell and no command line
// is ever built from the address, so blanks or shell characters in it are just characters.
#pragma once

#include "platform/MacTypes.h"

#include <string>

// The URI handed to the desktop: an address with a scheme as it is, a path as a file URI.
std::string BrowserUriFor(const std::string& utf8Target);
// True when a handler was started; otherwise error (when given) says why.
bool OpenInBrowser(const std::string& utf8Target, std::string* error = nullptr);
// Opens the address held by a resource string.
bool OpenStringInBrowser(UInt16 stringId, std::string* error = nullptr);
