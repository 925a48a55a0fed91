#include "process_figures.h"

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of live heap bytes (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace soak {
namespace {

// Entries of a /proc folder other than "." and "..".
int CountEntries(const char* path) {
    DIR* dir = opendir(path);
    if (dir == nullptr) return -1;
    int n = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') ++n;
    }
    closedir(dir);
    return n;
}

int64_t ResidentKb() {
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) return -1;
    long long size = 0;
    long long resident = 0;
    const int read = std::fscanf(file, "%lld %lld", &size, &resident);
    std::fclose(file);
    if (read != 2) return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

ProcessFigures ReadProcessFigures(bool trim) {
    ProcessFigures figures;
    figures.threads = CountEntries("/proc/self/task");
    // The folder handle that reads /proc/self/fd is one of the entries.
    figures.openFiles = CountEntries("/proc/self/fd") - 1;
    figures.residentKb = ResidentKb();
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's allocator replaces malloc; mallinfo2 knows nothing of it.
    figures.heapInUseKb = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 heap = mallinfo2();
    figures.heapInUseKb = static_cast<int64_t>((heap.uordblks + heap.hblkhd) / 1024);
#endif
    if (trim) {
        malloc_trim(0);
        figures.trimmedResidentKb = ResidentKb();
    }
    return figures;
}

ProcessFigures SteadyFigures() {
    constexpr int kSamples = 21;
    constexpr auto kSpacing = std::chrono::milliseconds(150);
    std::vector<ProcessFigures> samples;
    for (int i = 0; i < kSamples; ++i) {
        if (i > 0) std::this_thread::sleep_for(kSpacing);  // the sampling pace, not a wait for something
        samples.push_back(ReadProcessFigures(true));
    }
    auto median = [&samples](auto field) {
        std::vector<int64_t> values;
        for (const auto& sample : samples) values.push_back(field(sample));
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    ProcessFigures steady;
    steady.threads = static_cast<int>(median([](const ProcessFigures& f) { return int64_t{f.threads}; }));
    steady.openFiles = static_cast<int>(median([](const ProcessFigures& f) { return int64_t{f.openFiles}; }));
    steady.residentKb = samples.front().residentKb;
    steady.heapInUseKb = median([](const ProcessFigures& f) { return f.heapInUseKb; });
    steady.trimmedResidentKb = median([](const ProcessFigures& f) { return f.trimmedResidentKb; });
    return steady;
}

std::string Describe(const ProcessFigures& figures) {
    char text[200];
    int n = std::snprintf(text, sizeof text, "threads %d, open files %d, resident %.1f MiB", figures.threads,
                          figures.openFiles, static_cast<double>(figures.residentKb) / 1024.0);
    if (figures.trimmedResidentKb > 0 && n > 0 && static_cast<size_t>(n) < sizeof text) {
        n += std::snprintf(text + n, sizeof text - n, " (%.1f MiB trimmed)",
                           static_cast<double>(figures.trimmedResidentKb) / 1024.0);
    }
    if (n > 0 && static_cast<size_t>(n) < sizeof text) {
        std::snprintf(text + n, sizeof text - n, ", heap in use %.1f MiB",
                      static_cast<double>(figures.heapInUseKb) / 1024.0);
    }
    return text;
}

bool WithinPercent(int64_t base, int64_t now, double percent) {
    const double allowed = std::max(1.0, std::fabs(static_cast<double>(base)) * percent / 100.0);
    return std::fabs(static_cast<double>(now - base)) <= allowed;
}

std::vector<FigureCheck> CompareFigures(const ProcessFigures& base, const ProcessFigures& now, double percent,
                                        bool compareResident) {
    struct Row {
        const char* name;
        int64_t base;
        int64_t now;
        const char* unit;
        bool compared;
    };
    const Row rows[] = {
        {"threads", base.threads, now.threads, "", true},
        {"open files", base.openFiles, now.openFiles, "", true},
        {"heap in use", base.heapInUseKb, now.heapInUseKb, "KiB", true},
        {"resident (trimmed)", base.trimmedResidentKb, now.trimmedResidentKb, "KiB", compareResident},
    };
    std::vector<FigureCheck> checks;
    for (const Row& row : rows) {
        FigureCheck check;
        check.within = !row.compared || WithinPercent(row.base, row.now, percent);
        const double change =
            row.base == 0 ? 0.0 : 100.0 * static_cast<double>(row.now - row.base) / static_cast<double>(row.base);
        char line[160];
        std::snprintf(line, sizeof line, "%-19s %9lld -> %9lld %-3s %+6.1f %%  %s", row.name,
                      static_cast<long long>(row.base), static_cast<long long>(row.now), row.unit, change,
                      !row.compared ? "reported only" : check.within ? "within 5 %" : "OUTSIDE 5 %");
        check.line = line;
        checks.push_back(check);
    }
    return checks;
}

}  // namespace soak
