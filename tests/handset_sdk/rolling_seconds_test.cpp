// The per-second ring behind the SDK's statistics: what a second holds, which
// seconds a query covers, slot reuse, and a writer racing a reader.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/rolling_seconds.h"

namespace {

using Ring = common::RollingSeconds<2, 1>;

TEST(RollingSeconds, SumsAndMaximaCoverTheSecondsAskedFor) {
    Ring ring;
    ring.Reset(100500);  // counting begins half-way through second 100
    ring.Add(100600, 0, 5);
    ring.Add(101100, 0, 10);
    ring.Add(101900, 0, 1);
    ring.Max(101100, 0, 40);
    ring.Max(101200, 0, 30);
    ring.Add(102000, 0, 7);
    ring.Add(102999, 1, 3);
    ring.Max(103500, 0, 9);

    // At 103.5 s: the complete seconds 100, 101 and 102 (100 only partly counted).
    EXPECT_EQ(ring.Sum(103500, 0, 3), 5 + 11 + 7);
    EXPECT_EQ(ring.Sum(103500, 0, 1), 7);
    EXPECT_EQ(ring.Sum(103500, 1, 3), 3);
    EXPECT_EQ(ring.Maximum(103500, 0, 3), 40);
    EXPECT_EQ(ring.Maximum(103500, 0, 1), 0);
    EXPECT_EQ(ring.Maximum(103500, 0, 1, true), 9) << "the current second counts when asked";
    // Second 100 began before the reset: only 101 and 102 are complete.
    EXPECT_EQ(ring.CompleteSeconds(103500, 3), 2);
    EXPECT_EQ(ring.CompleteSeconds(100900, 3), 0);
    EXPECT_EQ(ring.CompleteSeconds(110000, 3), 3);

    // Seconds without events count nothing, however old their slot's data.
    EXPECT_EQ(ring.Sum(114100, 0, 11, true), 0) << "every slot now holds a second gone by";
    ring.Add(112000, 0, 2);  // second 112 reuses second 100's slot
    EXPECT_EQ(ring.Sum(113000, 0, 1), 2);
    EXPECT_EQ(ring.Sum(113000, 0, 50), 7 + 2) << "a query reaches back eleven seconds at most (102..112)";
    ring.Reset(200000);
    EXPECT_EQ(ring.Sum(113000, 0, 1), 0);
}

TEST(RollingSeconds, ReaderSeesConsistentSecondsWhileAWriterCounts) {
    Ring ring;
    std::atomic<bool> stop{false};
    std::atomic<int64_t> written{0};
    std::atomic<bool> reading{false};
    std::thread writer([&] {
        // The writer starts once the reader reads, so the two really overlap.
        while (!reading.load()) std::this_thread::yield();
        // Simulated time runs fast, so slots are reused while the reader reads.
        for (int64_t ms = 0; ms < 60000; ms += 3) {
            ring.Add(ms, 0, 1);
            ring.Add(ms, 1, 2);
            ring.Max(ms, 0, ms % 1000);
            written.fetch_add(1);
        }
        stop = true;
    });
    reading = true;
    do {
        const int64_t now = written.load() * 3;
        const int64_t ones = ring.Sum(now, 0, 11, true);
        const int64_t twos = ring.Sum(now, 1, 11, true);
        EXPECT_LE(ones, 12 * 334);
        EXPECT_LE(twos, 2 * 12 * 334);
        EXPECT_LT(ring.Maximum(now, 0, 11, true), 1000);
    } while (!stop.load());
    writer.join();
    // Once the writer is done every complete second holds its 333 or 334 events.
    const int64_t perSecond = ring.Sum(59999, 0, 1);
    EXPECT_GE(perSecond, 333);
    EXPECT_LE(perSecond, 334);
    EXPECT_EQ(ring.Sum(59999, 1, 1), 2 * perSecond);
}

}  // namespace
