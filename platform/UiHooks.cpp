#include "platform/UiHooks.h"

namespace {
UiHooks gSilentHooks;
UiHooks* gHooks = &gSilentHooks;
}  // namespace

void SetUiHooks(UiHooks* hooks) { gHooks = hooks ? hooks : &gSilentHooks; }
UiHooks& GetUiHooks() { return *gHooks; }
