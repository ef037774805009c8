#include "compose/parallel.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace compose {

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
    // Below a few rows per core the threads cost more than they save.
    const int parts = std::min(WorkerCount(), std::max(1, rows / 8));
    if (parts == 1) {
        work(begin, end);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (int i = 1; i < parts; ++i) {
        const int first = begin + static_cast<int>(static_cast<long long>(rows) * i / parts);
        const int last = begin + static_cast<int>(static_cast<long long>(rows) * (i + 1) / parts);
        try {
            threads.emplace_back([&work, first, last] { work(first, last); });
        } catch (const std::system_error&) {
            // No thread to be had (a process at its limit): do that part here.
            work(first, last);
        }
    }
    work(begin, begin + rows / parts);
    for (auto& t : threads)
        t.join();
}

} // namespace compose
