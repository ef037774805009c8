#include "compose/parallel.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace compose {
namespace {

// Threads kept for the whole run. Starting one costs a tenth of a millisecond or
// more, and a composition splits each of its passes into tens of bands.
class Helpers {
public:
    // The helpers of the process, started at the first call. Never destroyed:
    // they wait for work until the process ends.
    static Helpers& Get()
    {
        static Helpers* const helpers = new Helpers(WorkerCount() - 1);
        return *helpers;
    }

    // Runs the parts of [begin, end) given by bounds, this thread taking the first
    // one and whatever else waits while it waits.
    void Run(int parts, const std::function<int(int)>& bounds, const std::function<void(int, int)>& work)
    {
        int left = parts - 1;
        {
            const std::lock_guard lock(mutex_);
            for (int i = 1; i < parts; ++i)
                queue_.push_back([&, i] {
                    work(bounds(i), bounds(i + 1));
                    const std::lock_guard done(mutex_);
                    if (--left == 0)
                        finished_.notify_all();
                });
        }
        waiting_.notify_all();
        work(bounds(0), bounds(1));
        std::unique_lock lock(mutex_);
        while (left > 0) {
            // Helping out keeps a call made from a helper (or with no helper at all)
            // from waiting on parts nobody would take.
            if (!queue_.empty()) {
                RunFirst(lock);
                continue;
            }
            finished_.wait(lock);
        }
    }

private:
    explicit Helpers(int count)
    {
        for (int i = 0; i < count; ++i) {
            try {
                std::thread([this] { Serve(); }).detach();
            } catch (const std::system_error&) {
                break; // no thread to be had: the callers do all parts themselves
            }
        }
    }

    void Serve()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            waiting_.wait(lock, [this] { return !queue_.empty(); });
            RunFirst(lock);
        }
    }

    // Takes the first waiting part and runs it with the lock released.
    void RunFirst(std::unique_lock<std::mutex>& lock)
    {
        std::function<void()> part = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        part();
        lock.lock();
    }

    std::mutex mutex_;
    std::condition_variable waiting_;  // a part was queued
    std::condition_variable finished_; // a caller's last part is done
    std::deque<std::function<void()>> queue_;
};

} // namespace

int WorkerCount()
{
    static const int count = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 64);
    return count;
}

void ParallelRows(int begin, int end, const std::function<void(int, int)>& work)
{
    const int rows = end - begin;
    if (rows <= 0)
        return;
    // Below a few rows per core the hand-over costs more than it saves.
    const int parts = std::min(WorkerCount(), std::max(1, rows / 8));
    if (parts == 1) {
        work(begin, end);
        return;
    }
    Helpers::Get().Run(
        parts, [&](int i) { return begin + static_cast<int>(static_cast<long long>(rows) * i / parts); }, work);
}

} // namespace compose
