// Rows split over the cores: each row is worked on exactly once, whoever calls.
#include "compose/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using compose::ParallelRows;

namespace {

// Calls ParallelRows over [begin, end) and counts how often each row was given out.
std::vector<int> Visits(int begin, int end, const std::function<void()>& inside = {})
{
    std::vector<std::atomic<int>> seen(static_cast<size_t>(std::max(0, end - begin)));
    ParallelRows(begin, end, [&](int first, int last) {
        for (int y = first; y < last; ++y)
            ++seen[static_cast<size_t>(y - begin)];
        if (inside)
            inside();
    });
    return std::vector<int>(seen.begin(), seen.end());
}

bool EachOnce(const std::vector<int>& visits)
{
    for (int v : visits)
        if (v != 1)
            return false;
    return true;
}

} // namespace

TEST(ParallelRows, EveryRowOnceForRangesOfAnySize)
{
    const struct {
        int begin, end;
    } ranges[] = {{0, 0}, {5, 3}, {0, 1}, {0, 15}, {0, 16}, {-40, 17}, {3, 1003}};
    for (const auto& r : ranges) {
        const std::vector<int> visits = Visits(r.begin, r.end);
        EXPECT_EQ(visits.size(), static_cast<size_t>(std::max(0, r.end - r.begin)));
        EXPECT_TRUE(EachOnce(visits)) << r.begin << ".." << r.end;
    }
}

// A part that splits rows of its own, and several threads splitting at once (as
// the monitors' expositions are composed), all finish with every row done once.
TEST(ParallelRows, CallsFromPartsAndFromSeveralThreadsAllFinish)
{
    std::atomic<int> nestedWrong{0};
    const std::vector<int> outer = Visits(0, 64, [&] {
        if (!EachOnce(Visits(0, 200)))
            ++nestedWrong;
    });
    EXPECT_TRUE(EachOnce(outer));
    EXPECT_EQ(nestedWrong, 0);

    std::atomic<int> wrong{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 6; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round)
                if (!EachOnce(Visits(0, 100 + round)))
                    ++wrong;
        });
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_EQ(wrong, 0);
}
