#include "platform/FileFaults.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {

std::mutex gHookLock;
std::shared_ptr<FileFaultHook> gHook;
std::atomic<bool> gInstalled{false};   // every write asks: without a hook it costs one load

}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
    std::lock_guard<std::mutex> g(gHookLock);
    gHook = hook ? std::make_shared<FileFaultHook>(std::move(hook)) : nullptr;
    gInstalled = gHook != nullptr;
}

OSErr FileFaultCheck(SInt16 refNum, FileFaultPoint point, long count) {
    if (!gInstalled.load(std::memory_order_relaxed)) return noErr;
    std::shared_ptr<FileFaultHook> hook;
    {
        std::lock_guard<std::mutex> g(gHookLock);
        hook = gHook;
    }
    return hook ? (*hook)(refNum, point, count) : OSErr(noErr);
}
