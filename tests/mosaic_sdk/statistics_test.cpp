// The group's statistics query against the local cloud: the main phone's
// figures and the followers' counts, which follow pausing and resuming.
#include <sstream>

#include "group_cloud_fixture.h"

namespace mosaic_test {
namespace {

class GroupStatisticsTest : public GroupCloudTest {
protected:
    mosaic_sdk::QvPicGCStats Stats() {
        mosaic_sdk::QvPicGCStats stats;
        EXPECT_EQ(0, sdk->GetStatistics(&stats));
        return stats;
    }
    static std::string Describe(const mosaic_sdk::QvPicGCStats& s) {
        std::ostringstream out;
        out << "followers " << s.followers << " controlled " << s.followersControlled << " paused "
            << s.followersPaused << " refused " << s.followersRefused << " nodes " << s.nodesConnected << "/"
            << s.nodesTotal << " main frames " << s.main.framesReceived;
        return out.str();
    }
};

TEST_F(GroupStatisticsTest, CountsTheGroupAndTheMainPhone) {
    mosaic_sdk::QvPicGCStats stats;
    EXPECT_EQ(-1, sdk->GetStatistics(&stats)) << "not initialised";
    Play();
    EXPECT_EQ(-1, sdk->GetStatistics(nullptr));
    // Six phones: the main one, four followers on two nodes, one refused.
    ASSERT_TRUE(WaitUntil([&] {
        stats = Stats();
        return stats.followersControlled == 4 && stats.main.framesReceived > 0;
    }, 60000)) << Describe(stats);
    EXPECT_EQ(5, stats.followers);
    EXPECT_EQ(0, stats.followersPaused);
    EXPECT_EQ(1, stats.followersRefused);
    EXPECT_EQ(2, stats.nodesConnected);
    EXPECT_EQ(2, stats.nodesTotal);
    EXPECT_EQ(720, stats.main.width);

    const char* paused[] = {numbers[2].c_str(), numbers[3].c_str()};
    ASSERT_EQ(0, sdk->ReduceInstance(paused, 2));
    stats = Stats();
    EXPECT_EQ(2, stats.followersPaused) << Describe(stats);
    EXPECT_EQ(2, stats.followersControlled);
    ASSERT_EQ(0, sdk->AddInstance(paused, 1));
    stats = Stats();
    EXPECT_EQ(1, stats.followersPaused) << Describe(stats);
    EXPECT_EQ(3, stats.followersControlled);
}

}  // namespace
}  // namespace mosaic_test
