// The import journal: the record of the file a media reader is working on, kept in the
// program's settings while the reader runs, so that a reader that brings the program down
// names its file at the next start.
#include "import/adding/AddFiles.h"

#include "foundation/settings/ProgramKey.h"

#include <cstring>

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

}  // namespace

void ImportJournalWrite(const MediaFileRec* file) {
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
    WriteJournal(&record);
}

void ImportJournalReset() { ImportJournalWrite(nullptr); }

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
