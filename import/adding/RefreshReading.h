// The refresh's worker threads, one per core: they read items' files (ItemReadFile) ahead of
// the timer ticks; the ticks apply the readings on the user-interface thread, in the order of
// the job's items.
#pragma once

#include "catalog/items/ItemMediaInfo.h"

#include <memory>
#include <vector>

// The worker threads that read ahead. Readings are taken in the order they were queued.
namespace refresh_workers {
// Queues a reading.
void Submit(const std::shared_ptr<ItemFileReading>& reading);
// Whether the reading has been read (its fields may then be used on the queuing thread).
bool Done(const ItemFileReading& reading);
// Takes back the readings that no worker has started and waits for those being read, so
// that no worker touches them any more.
void Withdraw(const std::vector<std::shared_ptr<ItemFileReading>>& readings);
// Waits until every queued reading has been read or withdrawn.
void WaitIdle();
// The number of worker threads (one per core).
int Count();
}  // namespace refresh_workers
