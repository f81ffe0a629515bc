// The listing of one watched folder on a thread of its own.
//
// A source lists the direct entries of one folder into two name-ordered sets (files and
// folders). The scan thread is the only one that touches the sets and the pacing state while it
// runs; the user-interface thread reads the sets only after IsDone answered true. The done flag
// and the stop flag each have their own lock, so no lock order arises.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>


inline constexpr OSType kScanFolderType = 'fldr';

// One entry of a listing, or a file or folder the catalog knows.
struct ScanEntry {
    FSSpec spec;          // full path
    OSType type = 0;      // 'fldr' for a folder, the kind for a file, 0 to drop the entry
    UInt32 value = 0;     // for entries made from catalog items a further value of the record
};

// Entries are ordered and told apart by their whole leaf name, byte for byte, as the file
// system tells names apart: "a.jpg" and "a.jpg.bak" are two entries, "A.jpg" and "a.jpg" too.
struct ScanEntryNameOrder {
    bool operator()(const ScanEntry& a, const ScanEntry& b) const;
};
using ScanEntrySet = std::set<ScanEntry, ScanEntryNameOrder>;
std::string ScanEntryName(const ScanEntry& entry);

class DirectorySource;
// Decides what a listed entry is: fills entry->type ('fldr', a file's kind, or 0 to drop it).
// Runs on the scan thread; it must not touch the catalog.
using ScanClassifyProc = std::function<void(const DirectorySource& source, const CInfoPBRec& info, ScanEntry* entry)>;

// Pacing of the listing: a busy disk slows it down to one entry per 100 ms, an idle one speeds
// it up to pauses of 0.5 ms.
struct ScanPacing {
    double smoothed = 0;    // seconds a read took, smoothed
    double pause = 0.001;   // seconds slept between entries
    int state = 0;          // 0 steady, 1 slowing down, 2 speeding up
};
// Takes the seconds one read took into the pacing.
void ScanPacingUpdate(ScanPacing* pacing, double sampleSeconds);

class DirectorySource {
public:
    virtual ~DirectorySource() = default;
    virtual bool IsDone() = 0;
    virtual bool IsStopRequested() = 0;
    virtual void RequestStop(bool flag) = 0;
    // Sleeps for the current pause; a stop request ends the sleep at once.
    virtual void Pause() = 0;
    virtual void SetDone(bool flag) = 0;
    // Reads one directory entry and files it; false when the listing is exhausted.
    virtual bool NextEntry() = 0;

    // The results, to be read only once IsDone answered true.
    virtual const ScanEntrySet& Files() const = 0;
    virtual const ScanEntrySet& Folders() const = 0;
    virtual const ImportSettingsRec& Settings() const = 0;
    virtual const ScanPacing& Pacing() const = 0;
    // Whether the folder could be opened for listing, and the device number (st_dev) it lies
    // on; both read by the scan thread itself, and only to be read once IsDone answered true.
    virtual bool FolderOpened() const { return true; }
    virtual UInt64 FolderDevice() const { return 0; }
};

// A source over a folder of this system. The settings are copied: the catalog's record may
// change while the thread runs. Nothing touches the disk until the scan thread reads the first
// entry: a folder on a mount that no longer answers holds up that thread, never the caller.
std::shared_ptr<DirectorySource> DirectorySourceNew(const FSSpec& folder, const ImportSettingsRec& settings,
                                                    ScanClassifyProc classify);

// The body of the scan thread: reads entries with pauses between them until the listing ends
// or a stop is asked for, then sets the done flag.
void ScanThreadRun(const std::shared_ptr<DirectorySource>& source);
