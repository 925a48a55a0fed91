// The node link manager: its life cycle and how it hands out and takes back
// node links.
#include <gtest/gtest.h>

#include "fleet_link/fleet_link.h"
#include "link_harness.h"
#include "peers/node_peer.h"

namespace fleet_link_test {
namespace {

// A node interface that is no node link of this library.
class ForeignNode : public fleet_link::IPicGCWSNodeInterface {
public:
    int calls = 0;
    int StartControl(const char*, const fleet_link::StreamConf*, const fleet_link::ControlInstance*, uint32_t) override { return ++calls; }
    int StopControl() override { return ++calls; }
    int AddInstance(const char* const*, uint32_t) override { return ++calls; }
    int ReduceInstance(const char* const*, uint32_t) override { return ++calls; }
    int QueryInstanceStatus() override { return ++calls; }
    int SwitchMain(const char*) override { return ++calls; }
    int InputString(const char*) override { return ++calls; }
    int InputClipboard(const char*) override { return ++calls; }
    int InputKeyboard(bool, int8_t) override { return ++calls; }
    int InputMouseClick(int, bool) override { return ++calls; }
    int InputMouseMiddleClick(int, bool) override { return ++calls; }
    int InputMouseMove(int, int) override { return ++calls; }
    int InputTouch(int, const int*, const int*, int) override { return ++calls; }
    int InputPosition(float, float) override { return ++calls; }
    int InputSensor(int, float, float, float) override { return ++calls; }
    int InputMsg(const char*, const char*) override { return ++calls; }
    int InputInstanceInput(const fleet_link::InstanceInput* const*, uint32_t) override { return ++calls; }
    int InputInstanceClipboard(const fleet_link::InstanceInput* const*, uint32_t) override { return ++calls; }
};

TEST(FleetLinkTest, AddGCNodeNeedsAnInitialisedManagerAndAUrl) {
    LogRecorder logs;
    auto link = fleet_link::IFleetLink::CreateFleetLink();
    auto notic = std::make_shared<RecordingNotic>();
    EXPECT_EQ(nullptr, link->AddGCNode(notic, "ws://127.0.0.1:1/gcnode", "1.1.0", "n", true, 0, 50, 100, nullptr));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]fleet_link::CPicGCWSControl::AddGCNode failed: pic gc websocket is not ready"));
    link->RemoveGCNode(nullptr);
    EXPECT_TRUE(
        logs.Has("[FLEET_LINK]fleet_link::CPicGCWSControl::RemoveGCNode failed: pic gc websocket is not ready"));
    EXPECT_EQ(-1, link->UnInit());

    ASSERT_EQ(0, link->Init());
    EXPECT_EQ(-1, link->Init());
    EXPECT_EQ(nullptr, link->AddGCNode(notic, nullptr, "1.1.0", "n", true, 0, 50, 100, nullptr));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]fleet_link::CPicGCWSControl::AddGCNode failed: Node Init failed"));
    EXPECT_EQ(0, link->UnInit());
    EXPECT_EQ(-1, link->UnInit());
}

TEST(FleetLinkTest, RemoveGCNodeIgnoresWhatIsNoNodeLink) {
    auto link = fleet_link::IFleetLink::CreateFleetLink();
    ASSERT_EQ(0, link->Init());
    auto foreign = std::make_shared<ForeignNode>();
    link->RemoveGCNode(foreign);
    link->RemoveGCNode(nullptr);
    EXPECT_EQ(0, foreign->calls);
    EXPECT_EQ(0, link->UnInit());
}

TEST(FleetLinkTest, NodeConnectsAndTheManagerComesBackAfterUnInit) {
    LogRecorder logs;
    peers::NodePeer peer;
    auto link = fleet_link::IFleetLink::CreateFleetLink();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(0, link->Init());
        auto notic = std::make_shared<RecordingNotic>();
        auto node = link->AddGCNode(notic, peer.Url().c_str(), nullptr, "n1", true, 0, 50, 3000, nullptr);
        ASSERT_NE(nullptr, node);
        EXPECT_TRUE(logs.Has("[FLEET_LINK]Init Group control node [n1] succ"));
        ASSERT_TRUE(notic->WaitForStatus(2));
        EXPECT_EQ(0, node->InputKeyboard(false, 5));
        link->RemoveGCNode(node);
        EXPECT_EQ(-1, node->InputKeyboard(false, 5));
        EXPECT_EQ(0, link->UnInit());
    }
    EXPECT_EQ(R"({"clientType":3,"sdkVersion":""})", peer.PackagesOf(peers::node_msg::kRegisterReq)[0].body);
    EXPECT_TRUE(peer.WaitForCount(peers::node_msg::kInputReq, 2));
}

}  // namespace
}  // namespace fleet_link_test
