// The import journal: the record of the file a media reader is working on, kept in the
// program's settings while the reader runs, so that a reader that brings the program down
// names its file at the next start. Readers run on several threads at once: each thread's
// file is remembered, and the journal names the one begun first of those still being read.
#include "import/adding/AddFiles.h"

#include "foundation/settings/ProgramKey.h"

#include <cstring>
#include <list>
#include <mutex>
#include <thread>
#include <utility>

namespace {

constexpr char kEmptyJournal[4] = {'?', '?', '?', '?'};

void WriteJournal(const void* bytes) {
    // Written before and after every file a reader works on: it must outlive a crash of the
    // program, which needs no flush to the disk each time.
    RegistryUnflushedWrites unflushed;
    CRegistryKey key;
    if (!OpenUserKey(&key, u"")) return;
    key.WriteBinary(kRegImportJournal, bytes, DWORD(sizeof(KindFileRecord)));
}

KindFileRecord RecordOf(const MediaFileRec* file) {
    KindFileRecord record;
    std::memset(&record, 0, sizeof record);
    if (file) {
        if (KindFileRecToRecord(*file, &record) != noErr) {
            // A path the stored record cannot hold: the record still says that a reading
            // began, without the place.
            MediaFileRec nameless = *file;
            nameless.spec = FSSpec{};
            KindFileRecToRecord(nameless, &record);
        }
    } else {
        std::memcpy(&record, kEmptyJournal, 4);
    }
    return record;
}

struct InFlight {
    std::mutex lock;
    std::list<std::pair<std::thread::id, KindFileRecord>> readings;   // in the order they began
    KindFileRecord written;
    bool known = false;   // whether `written` is what the settings hold
};

InFlight& TheReadings() {
    static InFlight inFlight;
    return inFlight;
}

}  // namespace

void ImportJournalWrite(const MediaFileRec* file) {
    InFlight& f = TheReadings();
    std::lock_guard<std::mutex> lock(f.lock);
    const std::thread::id self = std::this_thread::get_id();
    f.readings.remove_if([&](const auto& r) { return r.first == self; });
    const bool earlierGoesOn = !f.readings.empty();
    if (file) f.readings.emplace_back(self, RecordOf(file));
    const KindFileRecord record = f.readings.empty() ? RecordOf(nullptr) : f.readings.front().second;
    // A reading that begins or ends while an earlier one goes on leaves that one named: the
    // settings are not written again for it.
    if ((earlierGoesOn || !file) && f.known && std::memcmp(&record, &f.written, sizeof record) == 0) return;
    WriteJournal(&record);
    f.written = record;
    f.known = true;
}

void ImportJournalReset() {
    InFlight& f = TheReadings();
    std::lock_guard<std::mutex> lock(f.lock);
    f.readings.clear();
    const KindFileRecord record = RecordOf(nullptr);
    WriteJournal(&record);
    f.written = record;
    f.known = true;
}

OSErr ImportJournalRead(MediaFileRec* file) {
    CRegistryKey key;
    if (!OpenUserKey(&key, u"")) return fnfErr;
    KindFileRecord record;
    DWORD size = 0;
    if (!key.ReadBinary(kRegImportJournal, &record, DWORD(sizeof record), &size) || size != sizeof record)
        return fnfErr;
    if (std::memcmp(&record, kEmptyJournal, 4) == 0) return fnfErr;
    OSErr err = KindFileRecFromRecord(record, file);
    // A record whose place could not be kept, or whose file is gone, still tells of a reading
    // that did not finish.
    return (err == noErr || err == fnfErr || err == dirNFErr) ? OSErr(noErr) : err;
}
