// The reading half of the refresh and the worker threads that run it ahead of the ticks.
#include "import/adding/RefreshReading.h"

#include "media/kinds/KindDispatch.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

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
