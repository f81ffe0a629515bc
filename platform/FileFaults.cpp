#include "platform/FileFaults.h"

#include <memory>
#include <mutex>

namespace {

std::mutex gHookLock;
std::shared_ptr<FileFaultHook> gHook;

}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
    std::lock_guard<std::mutex> g(gHookLock);
    gHook = hook ? std::make_shared<FileFaultHook>(std::move(hook)) : nullptr;
}

OSErr FileFaultCheck(SInt16 refNum, FileFaultPoint point, long count) {
    std::shared_ptr<FileFaultHook> hook;
    {
        std::lock_guard<std::mutex> g(gHookLock);
        hook = gHook;
    }
    return hook ? (*hook)(refNum, point, count) : OSErr(noErr);
}
