#pragma once
// What the process holds right now, read from /proc/self: threads, open
// files and resident memory. The soak compares them before and after.
#include <cstdint>
#include <string>

namespace soak {

struct ProcessFigures {
    int threads = 0;
    int openFiles = 0;
    int64_t residentKb = 0;
    int64_t heapInUseKb = 0;  // what the allocator handed out and was not freed
    // Resident memory once the allocator gave its free pages back (malloc_trim):
    // what the process holds, without what the allocator keeps for later.
    int64_t trimmedResidentKb = 0;
};

// Reads the figures; with trim, also the resident memory after malloc_trim.
ProcessFigures ReadProcessFigures(bool trim = false);
// The median of each figure over a few seconds of samples, each taken after
// malloc_trim; the resident memory before the first trim is kept as it was.
// Streams allocate and free in bursts, so one sample says little.
ProcessFigures SteadyFigures();
std::string Describe(const ProcessFigures& figures);

// Whether `now` lies within `percent` % of `base` (at least one unit either
// way, so that small counts can move by one).
bool WithinPercent(int64_t base, int64_t now, double percent);

}  // namespace soak
