// The reading half of the refresh and the worker threads that run it ahead of the ticks.
#include "import/adding/RefreshReading.h"

#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

MediaReading::~MediaReading() {
    for (Handle h : {thumbnail, annotations, metadata, recording})
        if (h) DisposeHandle(h);
}

void ItemReadMedia(const MediaFileRec* file, SInt32 thumbnailSize, UInt8 readerOption, bool thumbnail,
                   bool annotations, bool metadata, bool recording, MediaReading* out) {
    KindFileRec reading = *file;
    std::memset(&out->info, 0, sizeof out->info);
    PicHandle picture = nullptr;
    Handle iptc = nullptr, technical = nullptr, sound = nullptr;
    out->err = KindGetInfo(&reading, &out->info, true, readerOption, 0, thumbnailSize, thumbnail ? &picture : nullptr,
                           &iptc, metadata ? &technical : nullptr, recording ? &sound : nullptr);
    // A label carried in the file (dataset 2:10) becomes the item's label and leaves the block.
    out->label = 0;
    if (iptc) {
        UInt16 length = 0;
        if (Ptr label = IptcFindDataset(522, 1, iptc, &length, nullptr); label && length > 0) {
            int value = static_cast<unsigned char>(label[0]) - '0';
            if (value >= 0 && value <= 9) out->label = UInt8(value);
            IptcSetDataset(522, 1, nullptr, 0, iptc, kIptcRemove, IptcMarkerAnsi);
        }
    }
    out->thumbnail = reinterpret_cast<Handle>(picture);
    if (annotations)
        out->annotations = iptc;
    else if (iptc)
        DisposeHandle(iptc);
    out->metadata = technical;
    out->recording = sound;
}

void ItemCopyMediaFacts(const MediaFileRec* file, const KindInfoRec& info, ItemRec* record) {
    record->kind = file->type;
    record->fileSize = file->size;
    if (info.type) record->kind = info.type;
    record->orientation = info.orientation;
    record->width = info.width;
    record->height = info.height;
    record->resolution = info.resolution;
    record->sampleColor = info.sampleColor;
    record->depth = info.depth;
    record->pages = info.pages;
    record->poster = info.poster;
    record->tracks = info.tracks;
    record->duration = info.duration;
    record->audioChannels = info.audioChannels;
    record->audioRate = info.audioRate;
    record->audioBitSize = info.audioBitSize;
    record->dataRate = info.dataRate;
    record->frameRate = info.frameRate;
    record->spatialQuality = info.spatialQuality;
    record->colorSpace = info.colorSpace;
    record->compression = info.compression;
    std::memcpy(record->encoding, info.encoding, sizeof record->encoding);
    std::memcpy(record->colorProfile, info.colorProfile, sizeof record->colorProfile);
    record->characters = info.characters;
    record->paragraphs = info.paragraphs;
}

bool RefreshReadsFile(const RefreshOptions& options) {
    for (int i = kRefreshAnnotations; i <= kRefreshRecording; ++i)
        if (options.bytes[i]) return true;
    return false;
}

void ItemReadFile(ItemFileReading* r) {
    if (!RefreshReadsFile(r->options)) return;
    CInfoPBRec pb;
    r->catalogInfoErr = FSpGetCatInfo(&r->file, &pb);
    if (r->catalogInfoErr != noErr) return;
    r->type = KindTypeFromExtension(&r->file, nullptr);
    if (r->type == 0) return;
    r->media.spec = r->file;
    r->typeInfoErr = KindGetFileTypeInfo(&pb, nullptr, r->type, &r->media);
    if (r->typeInfoErr != noErr) return;
    const RefreshOptions& o = r->options;
    ItemReadMedia(&r->media, r->thumbnailSize, o.bytes[kRefreshReaderOption], o.bytes[kRefreshThumbnail] != 0,
                  o.bytes[kRefreshAnnotations] != 0, o.bytes[kRefreshMetadata] != 0, o.bytes[kRefreshRecording] != 0,
                  &r->reading);
}

// ---- the workers ---------------------------------------------------------------------------

namespace refresh_workers {
namespace {

enum State : int { kQueued = 1, kReading, kDone, kWithdrawn };

class Pool {
public:
    ~Pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        work_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    void Submit(const std::shared_ptr<ItemFileReading>& reading) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            StartLocked();
            reading->workerState = kQueued;
            queue_.push_back(reading);
        }
        work_.notify_one();
    }

    bool Done(const ItemFileReading& reading) {
        std::lock_guard<std::mutex> lock(mutex_);
        return reading.workerState == kDone;
    }

    void Withdraw(const std::vector<std::shared_ptr<ItemFileReading>>& readings) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (const auto& r : readings)
            if (r && r->workerState == kQueued) r->workerState = kWithdrawn;
        // A reading a worker has begun is finished first: the caller may free what it refers to.
        finished_.wait(lock, [&] {
            return std::none_of(readings.begin(), readings.end(),
                                [](const auto& r) { return r && r->workerState == kReading; });
        });
    }

    void WaitIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [&] { return queue_.empty() && busy_ == 0; });
    }

    int Count() { return Wanted(); }

private:
    // One worker per core this process may run on (a process held to some cores, as by
    // taskset, gets that many).
    static int Wanted() {
        cpu_set_t set;
        if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
        return int(std::max(1u, std::thread::hardware_concurrency()));
    }

    void StartLocked() {
        if (!threads_.empty()) return;
        for (int i = 0; i < Wanted(); ++i) threads_.emplace_back([this] { Run(); });
    }

    void Run() {
        // Readings here must not reach the user interface: its callbacks belong to its thread.
        KindSetThreadCallbacksOff(true);
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            work_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            // The queue holds the reading alive while a worker has it, whoever else lets go.
            std::shared_ptr<ItemFileReading> reading = std::move(queue_.front());
            queue_.pop_front();
            if (reading->workerState == kQueued) {
                reading->workerState = kReading;
                ++busy_;
                lock.unlock();
                ItemReadFile(reading.get());
                lock.lock();
                --busy_;
                reading->workerState = kDone;
            }
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable work_, finished_;
    std::deque<std::shared_ptr<ItemFileReading>> queue_;
    std::vector<std::thread> threads_;
    int busy_ = 0;
    bool stopping_ = false;
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

}  // namespace

void Submit(const std::shared_ptr<ItemFileReading>& reading) { ThePool().Submit(reading); }
bool Done(const ItemFileReading& reading) { return ThePool().Done(reading); }
void Withdraw(const std::vector<std::shared_ptr<ItemFileReading>>& readings) { ThePool().Withdraw(readings); }
void WaitIdle() { ThePool().WaitIdle(); }
int Count() { return ThePool().Count(); }

}  // namespace refresh_workers
