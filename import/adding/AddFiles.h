// Adding files and folders to a catalog, and the deferred refresh of the new items' media
// information.
//
// Adding is fast: each new item is made from the file's catalog information alone and marked
// pending; the refresh then reads each pending item's media information, thumbnail and
// metadata through the kind engine. The files are read ahead on worker threads (one per core);
// everything that touches a catalog runs on the user-interface thread, whose timer ticks apply
// the readings in order, and the interface stays alive through the progress callback.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/file/CatalogRecords.h"
#include "catalog/items/ItemMediaInfo.h"
#include "foundation/interface/FolderWalk.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/TimerService.h"

// True when the file passes the catalog's filter rules (depth 0 for a file given directly).
bool ImportFilterMatch(SInt32 depth, const MediaFileRec* file, const ImportSettingsRec* settings);

// The kind a file found on disk is taken as: its name's kind within the settings' categories,
// then the filter rules at depth, with *file filled from the catalog information on the way.
// 0 when the file is not taken.
OSType ImportKindOfFile(const ImportSettingsRec* settings, const CInfoPBRec& info, const FSSpec& spec, SInt32 depth,
                        MediaFileRec* file);

// ---- adding --------------------------------------------------------------------------------

// Adds the files and folders of specs (folders walked with all their sub-folders) before the
// visible item `position` (0, or a number outside 1..visible count, appends). Progress: phase 0
// before the first file, phase 1 (added, scanned) after each file added, phase 2 at the end; a
// non-zero answer to phase 1 cancels. A cancel or a failed add undoes the whole call (items,
// counters, folder nodes, and the ids it filed in folders that existed before) and answers
// userCanceledErr or the engine's error with *outAdded 0. paramErr for an empty list, permErr
// for a catalog without a work file.
OSErr CatalogAddFiles(CatalogRec* catalog, SInt32 position, const FSSpec* specs, long count,
                      CatalogProgressProc progress, long progressRef, SInt32* outAdded);

struct AddFilesContext;
// The per-entry step of the folder walk; also called for top-level files with depth 0.
void AddFileToCatalog(UInt16 depth, CInfoPBRec* info, UInt8* stop, void* context);
// The per-folder step of the folder walk: the folder's node becomes the current one.
UInt32 AddFolderCallback(const FSSpec* folder, UInt8* stop, void* context);

// A progress callback for CatalogAddFiles that shows its progress through the user-interface
// hooks ("Importing") and answers userCanceledErr when the user cancels there.
OSErr AddFilesUiProgress(short phase, long added, long scanned, long refCon);

// ---- refresh of media information ----------------------------------------------------------

inline constexpr int kRefreshJobSlots = 32;
inline constexpr UInt32 kRefreshTickMs = 150;
// The n-th visible item's media information read again (nothing when it has no file).
OSErr CatalogRefreshVisibleItem(CatalogRec* catalog, SInt32 visibleNumber, const RefreshOptions* options,
                                const UInt32* value848);
// Starts a job refreshing the items of ids (u32 unique ids; copied); their files are read ahead
// on the worker threads and a timer ticks every 150 ms. The progress callback sees phase 0
// (0, count), 1 (n, count) per item and 2 (count, count). 0, or -1 when all 32 jobs are busy.
OSErr StartItemRefreshTimer(CatalogRec* catalog, long progressRef, Handle ids, CatalogProgressProc progress,
                            const RefreshOptions* options);
// Ends every job of the catalog (every job with null) without further callbacks; readings a
// worker has begun for them are finished first, none is applied.
void StopItemRefreshTimer(CatalogRec* catalog);
// Number of jobs running for the catalog (every job with null).
SInt32 ItemRefreshJobCount(const CatalogRec* catalog);
// One step of a job by its timer id (the timer's procedure): every item whose reading is ready
// is applied, in the job's order, within about 20 ms of the tick; a tick while the mouse
// button is held does nothing.
void ItemRefreshTimerProc(TimerId id);
// Waits until the worker threads have read everything queued so far (for tests and tools that
// drive the timers by hand).
void ItemRefreshWaitForReadings();
// Ends the catalog's jobs, then deletes every item still pending; true when any was deleted.
bool CatalogRemoveMarkedItems(CatalogRec* catalog);
// Clears the refresh table (engine start-up).
void ResetAddFilesState();

// ---- the import journal --------------------------------------------------------------------

// The kind engine's file hook: stores the record of the file about to be read as the
// "ImportJournal" value of the program's settings, or "????" with none.
void ImportJournalWrite(const MediaFileRec* file);
// Reads the journal: noErr and the record when a reading did not finish, fnfErr when the
// journal is empty or missing.
OSErr ImportJournalRead(MediaFileRec* file);
// Empties the journal.
void ImportJournalReset();
