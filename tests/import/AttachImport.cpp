// The import library attaches itself to the catalog engine once, as the program does at
// start-up, before any test of this program runs.
#include "import/ImportHooks.h"

namespace {
const bool kAttached = (ImportAttachToCatalogs(), true);
}  // namespace
