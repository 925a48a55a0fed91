// Several nodes on one manager, driven from several threads at once while
// nodes are removed and added again (meant for the thread sanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fleet_link/fleet_link.h"
#include "link_harness.h"
#include "peers/node_peer.h"

namespace fleet_link_test {
namespace {

namespace msg = peers::node_msg;

TEST(FleetLinkConcurrencyTest, SeveralNodesTakeOperationsFromSeveralThreads) {
    constexpr int kNodes = 3;
    constexpr int kThreads = 4;
    constexpr int kRounds = 50;
    auto link = fleet_link::IFleetLink::CreateFleetLink();
    ASSERT_EQ(0, link->Init());
    std::vector<std::unique_ptr<peers::NodePeer>> peers;
    std::vector<std::shared_ptr<RecordingNotic>> notics;
    std::vector<std::shared_ptr<fleet_link::IPicGCWSNodeInterface>> nodes;
    for (int i = 0; i < kNodes; ++i) {
        peers.push_back(std::make_unique<peers::NodePeer>(i == 0));  // the first one over TLS
        notics.push_back(std::make_shared<RecordingNotic>());
        std::string name = "node-" + std::to_string(i);
        nodes.push_back(link->AddGCNode(notics[i], peers[i]->Url().c_str(), "1.1.0", name.c_str(), true, 5, 50,
                                        3000, nullptr));
        ASSERT_NE(nullptr, nodes[i]);
    }
    for (auto& notic : notics) ASSERT_TRUE(notic->WaitForStatus(2));

    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const int xs[] = {t, t + 1};
            const int ys[] = {t, t + 2};
            for (int r = 0; r < kRounds; ++r) {
                for (auto& node : nodes) {
                    if (node->InputKeyboard(r % 2 == 0, static_cast<int8_t>(t)) != 0) ++failures;
                    if (node->InputString("text") != 0) ++failures;
                    if (node->InputTouch(2, xs, ys, 2) != 0) ++failures;  // sent or throttled: 0 either way
                    if (node->QueryInstanceStatus() != 0) ++failures;
                }
            }
        });
    }
    // Meanwhile a fourth node comes and goes.
    peers::NodePeer extraPeer;
    threads.emplace_back([&] {
        for (int i = 0; i < 5; ++i) {
            auto notic = std::make_shared<RecordingNotic>();
            auto extra = link->AddGCNode(notic, extraPeer.Url().c_str(), "1.1.0", "extra", true, 1, 20, 3000, nullptr);
            if (!extra) {
                ++failures;
                continue;
            }
            notic->WaitForStatus(2, 1, 5000);
            extra->InputMouseMove(i, i);
            link->RemoveGCNode(extra);
        }
    });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, failures.load());

    const size_t keys = static_cast<size_t>(kThreads) * kRounds;
    for (int i = 0; i < kNodes; ++i) {
        EXPECT_TRUE(peers[i]->WaitUntil([&] {
            size_t n = 0;
            for (const auto& p : peers[i]->PackagesOf(msg::kInputReq)) {
                if (p.json["opType"].asInt() == 3) ++n;
            }
            return n == keys;
        })) << "node " << i;
        EXPECT_EQ(std::vector<int>{2}, notics[i]->Statuses());
        EXPECT_GE(notics[i]->CountOf("query"), 1u);
    }
    for (auto& node : nodes) link->RemoveGCNode(node);
    EXPECT_EQ(0, link->UnInit());
}

}  // namespace
}  // namespace fleet_link_test
