#include "import/watch/DirectorySource.h"

#include "foundation/files/FileMoves.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>

bool ScanEntryNameOrder::operator()(const ScanEntry& a, const ScanEntry& b) const {
    return ScanEntryName(a) < ScanEntryName(b);
}

std::string ScanEntryName(const ScanEntry& entry) { return FSSpecName(entry.spec); }

void ScanPacingUpdate(ScanPacing* p, double sample) {
    p->smoothed = 0.7 * sample + 0.3 * p->smoothed;
    if (p->smoothed > 0.005) {
        p->state = 1;
        p->pause = std::min(2 * p->pause, 0.1);
    } else if (p->smoothed < 0.0002) {
        p->state = 2;
        p->pause = std::max(p->pause - 0.0001, 0.0005);
    } else {
        p->state = 0;
    }
}

namespace {

class PosixDirectorySource final : public DirectorySource {
public:
    PosixDirectorySource(const FSSpec& folder, const ImportSettingsRec& settings, ScanClassifyProc classify)
        : settings_(settings), classify_(std::move(classify)) {
        path_ = folder.path;
        if (path_.empty() || path_.back() != '/') path_.push_back('/');
    }
    ~PosixDirectorySource() override {
        if (dir_) closedir(dir_);
    }

    bool IsDone() override {
        std::lock_guard<std::mutex> g(doneLock_);
        return done_;
    }
    bool IsStopRequested() override {
        std::lock_guard<std::mutex> g(stopLock_);
        return stop_;
    }
    void RequestStop(bool flag) override {
        {
            std::lock_guard<std::mutex> g(stopLock_);
            stop_ = flag;
        }
        stopChanged_.notify_all();
    }
    void Pause() override {
        auto ms = std::chrono::milliseconds(static_cast<long>(pacing_.pause * 1000));
        std::unique_lock<std::mutex> g(stopLock_);
        if (ms.count() == 0) {
            g.unlock();
            std::this_thread::yield();
            return;
        }
        stopChanged_.wait_for(g, ms, [this] { return stop_; });
    }
    void SetDone(bool flag) override {
        std::lock_guard<std::mutex> g(doneLock_);
        done_ = flag;
    }

    bool NextEntry() override {
        if (!triedOpen_) {
            // A folder that cannot be listed gives a source whose first read ends the listing.
            triedOpen_ = true;
            dir_ = opendir(path_.c_str());
            struct stat st{};
            if (dir_ && fstat(dirfd(dir_), &st) == 0) {
                opened_ = true;
                device_ = UInt64(st.st_dev);
            }
        }
        if (!dir_) return false;
        auto start = std::chrono::steady_clock::now();
        dirent* e = readdir(dir_);
        if (!e) return false;
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) FileEntry(e->d_name);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ScanPacingUpdate(&pacing_, seconds);
        return true;
    }

    const ScanEntrySet& Files() const override { return files_; }
    const ScanEntrySet& Folders() const override { return folders_; }
    const ImportSettingsRec& Settings() const override { return settings_; }
    const ScanPacing& Pacing() const override { return pacing_; }
    bool FolderOpened() const override { return opened_; }
    UInt64 FolderDevice() const override { return device_; }

private:
    void FileEntry(const char* name) {
        CInfoPBRec info;
        if (FindDataToFileInfo(path_, name, &info) != noErr) return;   // gone meanwhile
        ScanEntry entry;
        entry.spec.path = info.path;
        if (classify_) classify_(*this, info, &entry);
        // Folders and files go to their own sets; an entry classified 0 is dropped, so that
        // what the filters refuse is not reported as new on every pass.
        if (entry.type == kScanFolderType)
            folders_.insert(std::move(entry));
        else if (entry.type != 0)
            files_.insert(std::move(entry));
    }

    ScanEntrySet files_;
    ScanEntrySet folders_;
    ScanPacing pacing_;
    ImportSettingsRec settings_;
    ScanClassifyProc classify_;
    DIR* dir_ = nullptr;
    bool triedOpen_ = false;
    bool opened_ = false;
    UInt64 device_ = 0;
    std::string path_;   // ends in "/"
    std::mutex doneLock_;
    std::mutex stopLock_;
    std::condition_variable stopChanged_;
    bool done_ = false;
    bool stop_ = false;
};

}  // namespace

std::shared_ptr<DirectorySource> DirectorySourceNew(const FSSpec& folder, const ImportSettingsRec& settings,
                                                    ScanClassifyProc classify) {
    return std::make_shared<PosixDirectorySource>(folder, settings, std::move(classify));
}

void ScanThreadRun(const std::shared_ptr<DirectorySource>& source) {
    while (!source->IsStopRequested()) {
        bool read = source->NextEntry();
        if (read && !source->IsStopRequested()) source->Pause();
        if (!read) break;
    }
    source->SetDone(true);
}
