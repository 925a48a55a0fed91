#pragma once
// What the process holds right now, read from /proc/self: threads, open
// files and resident memory. The soak compares them before and after.
#include <cstdint>
#include <string>
#include <vector>

namespace soak {

struct ProcessFigures {
    int threads = 0;
    int openFiles = 0;
    int64_t residentKb = 0;
    // What the allocator handed out and was not freed (under AddressSanitizer,
    // its own count, which leaves its quarantine of freed blocks out).
    int64_t heapInUseKb = 0;
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

// One figure before and after: its name, both values, the change in % and
// whether it stayed within the limit (figures that are only reported pass).
struct FigureCheck {
    std::string line;
    bool within = true;
};
// Threads, open files, heap in use and trimmed resident memory of `now`
// against `base`; with compareResident false, resident memory is reported only.
std::vector<FigureCheck> CompareFigures(const ProcessFigures& base, const ProcessFigures& now, double percent,
                                        bool compareResident);

}  // namespace soak
