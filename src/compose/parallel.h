#pragma once
// Splits a range of rows over the processor's cores.
#include <functional>

namespace compose {

// Calls work(first, last) on disjoint parts [first, last) of [begin, end), one part
// per core (the calling thread takes one), and returns when all are done.
void ParallelRows(int begin, int end, const std::function<void(int first, int last)>& work);

// How many parts ParallelRows makes at most.
int WorkerCount();

} // namespace compose
