#include "media/ui/WebPageReaders.h"

#include "foundation/files/FileData.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindTable.h"
#include "media/readers/text/TextReader.h"
#include "media/ui/WebPageHost.h"
#include "platform/Handles.h"

#include <glib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace {

std::atomic<int> gTimeLimitMs{3000};
constexpr int kInfoSide = 640;
constexpr int kThumbnailSide = 800;
// A reading on another thread waits this much longer than the page's own limit for the user
// interface to take the drawing on.
constexpr int kHandOverMs = 5000;

std::thread::id gUiThread;
bool gInstalled = false;

int RenderHere(int width, int height, const std::string& path, GWorldPtr world) {
    WebPageHost* host = WebPageHostCreate(path, width, height);
    if (!host) return -1;
    const int result = WebPageHostRender(host, world, gTimeLimitMs);
    WebPageHostDestroy(host);
    return result;
}

// One drawing handed to the user-interface thread. The waiting reader may give up; the
// drawing then does nothing when its turn comes.
struct HandOver {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int width = 0, height = 0;
    std::string path;
    GWorldPtr world = nullptr;
    int result = -1;
};

gboolean RunHandOver(gpointer data) {
    auto* shared = static_cast<std::shared_ptr<HandOver>*>(data);
    HandOver& h = **shared;
    {
        std::lock_guard<std::mutex> lock(h.mutex);
        if (h.abandoned) return G_SOURCE_REMOVE;
    }
    // Drawn into a world of its own: the reader's world is touched only while the reader
    // still waits, under the lock.
    const Rect box{0, 0, SInt16(h.height), SInt16(h.width)};
    GWorldPtr own = nullptr;
    int result = -1;
    if (OffscreenNew(&own, k32BGRAPixelFormat, &box) == noErr) result = RenderHere(h.width, h.height, h.path, own);
    std::lock_guard<std::mutex> lock(h.mutex);
    if (!h.abandoned && own) OffscreenDrawImage(own, h.world, nullptr, nullptr, 1);
    if (own) DisposeGWorld(own);
    h.result = result;
    h.finished = true;
    h.done.notify_all();
    return G_SOURCE_REMOVE;
}

void FreeHandOver(gpointer data) {
    delete static_cast<std::shared_ptr<HandOver>*>(data);
}

OSErr RenderInto(int side, const FSSpec* spec, GWorldPtr* offscreen, int* result) {
    const Rect box{0, 0, SInt16(side), SInt16(side)};
    GWorldPtr world = nullptr;
    if (OffscreenNew(&world, k32BGRAPixelFormat, &box) != noErr || !LockPixels(world)) {
        if (world) DisposeGWorld(world);
        return memFullErr;
    }
    *result = RenderWebPage(side, side, spec->path, world);
    UnlockPixels(world);
    *offscreen = world;
    return noErr;
}

}  // namespace

void WebPageSetTimeLimit(int milliseconds) {
    gTimeLimitMs = milliseconds > 0 ? milliseconds : 3000;
}

void WebPageReadersInstall() {
    gUiThread = std::this_thread::get_id();
    gInstalled = true;
    KindSetHandlerReaders(kKindHandlerWebPage, WebPageGetInfo, WebPageMakeThumbnail);
}

int RenderWebPage(int width, int height, const std::string& path, GWorldPtr world) {
    if (!gInstalled || !world) return -1;
    if (std::this_thread::get_id() == gUiThread) return RenderHere(width, height, path, world);
    auto shared = std::make_shared<HandOver>();
    shared->width = width;
    shared->height = height;
    shared->path = path;
    shared->world = world;
    // A source of the default context runs on the thread that iterates it, the user
    // interface's (invoking the context directly would run it here when nobody holds it).
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, RunHandOver, new std::shared_ptr<HandOver>(shared), FreeHandOver);
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!shared->done.wait_for(lock, std::chrono::milliseconds(gTimeLimitMs * 2 + kHandOverMs),
                               [&] { return shared->finished; })) {
        // The user interface did not take the drawing on in time: it will find it abandoned.
        shared->abandoned = true;
        return -1;
    }
    return shared->result;
}

OSErr WebPageGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle*, GWorldPtr* offscreen, UserData, Handle*,
                     UInt32, UInt32, SInt32) {
    if (!spec || !info || !offscreen) return paramErr;
    *offscreen = nullptr;
    int result = -1;
    if (OSErr err = RenderInto(kInfoSide, spec, offscreen, &result)) return err;
    if (result == 0) {
        Handle data = nullptr;
        long size = 0;
        if (LoadFileData(spec, &data, &size) == noErr && data) {
            HLock(data);
            const NormalizedText text = NormalizeText(std::string_view(reinterpret_cast<const char*>(*data), std::size_t(size)));
            const char* name = LineEndingName(text.lineEnding);
            info->encoding[0] = UInt8(std::strlen(name));
            std::memcpy(info->encoding + 1, name, info->encoding[0]);
            DisposeHandle(data);
        }
    }
    return OSErr(result);
}

OSErr WebPageMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32, OSType, UInt32*, UInt16) {
    if (!spec || !offscreen) return paramErr;
    *offscreen = nullptr;
    int result = -1;
    if (OSErr err = RenderInto(kThumbnailSide, spec, offscreen, &result)) return err;
    return OSErr(result);
}
