// The node-state query against the local cloud's nodes: links that are cut
// and come back, and a node that refuses control.
#include <thread>

#include "group_cloud_fixture.h"

namespace mosaic_test {
namespace {

class NodeStatusTest : public GroupCloudTest {
protected:
    // The state of one node in a fresh answer; -1 when the answer lacks it.
    int NodeState(const char* nodeNo, int* refusalCode = nullptr) {
        if (sdk->QueryNodeStatus() != 0) return -1;
        for (const auto& node : notic->Nodes()) {
            if (std::string(node.nodeNo) != nodeNo) continue;
            if (refusalCode) *refusalCode = node.refusalCode;
            return node.state;
        }
        return -1;
    }
};

TEST_F(NodeStatusTest, ACutNodeShowsDisconnectedUntilItRegistersAgain) {
    EXPECT_EQ(-1, sdk->QueryNodeStatus()) << "not initialised";
    // The SDK is callable from inside the notification: no lock of it is held.
    notic->duringNodeStatus = [this] {
        mosaic_sdk::QvPicGCStats stats;
        sdk->GetStatistics(&stats);
    };
    ASSERT_EQ(0, InitGroup(Settings()));
    ASSERT_EQ(0, sdk->QueryNodeStatus());
    std::thread::id thread;
    int notices = 0;
    EXPECT_TRUE(notic->Nodes(&thread, &notices).empty()) << "no nodes before the start";
    EXPECT_EQ(1, notices);
    EXPECT_EQ(std::this_thread::get_id(), thread);

    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }, 60000)) << "start not reported";
    ASSERT_TRUE(WaitUntil([&] {
        return NodeState(kNodeA) == mosaic_sdk::MOSAIC_NODE_CONTROLLING &&
               NodeState(kNodeB) == mosaic_sdk::MOSAIC_NODE_CONTROLLING;
    }, 60000));
    const auto nodes = notic->Nodes();
    ASSERT_EQ(2u, nodes.size());
    EXPECT_STREQ(kNodeA, nodes[0].nodeNo);  // node-number order
    EXPECT_STREQ(kNodeB, nodes[1].nodeNo);
    EXPECT_EQ(0, nodes[1].refusalCode);

    // Node b drops its connections and refuses new ones for now.
    cloudsim::NodeFaultScript refuse;
    refuse.refuseUpgrade = true;
    cloud->SetNodeFaults(kNodeB, refuse);
    ASSERT_GE(cloud->CutNodeConnections(kNodeB, cloudsim::CutKind::kCloseFrame), 1);
    ASSERT_TRUE(WaitUntil([&] { return NodeState(kNodeB) == mosaic_sdk::MOSAIC_NODE_DISCONNECTED; }, 60000));
    EXPECT_EQ(mosaic_sdk::MOSAIC_NODE_CONTROLLING, NodeState(kNodeA));

    // Allowed again: the link registers and control starts over.
    cloud->ClearFaults();
    ASSERT_TRUE(WaitUntil([&] { return NodeState(kNodeB) == mosaic_sdk::MOSAIC_NODE_CONTROLLING; }, 90000));
    EXPECT_TRUE(WaitUntil([&] { return Controlled(kNodeB) == 2; }, 60000));
    EXPECT_EQ(mosaic_sdk::MOSAIC_NODE_CONTROLLING, NodeState(kNodeA));

    EXPECT_EQ(0, sdk->Uninit());
    EXPECT_EQ(-1, sdk->QueryNodeStatus()) << "after Uninit";
}

TEST_F(NodeStatusTest, ARefusedStartControlShowsItsStateAndCode) {
    cloudsim::NodeFaultScript refuse;
    refuse.answerCode = 50017;
    cloud->SetNodeFaults(kNodeB, refuse);
    ASSERT_EQ(0, InitGroup(Settings()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }, 60000)) << "start not reported";
    int code = 0;
    ASSERT_TRUE(WaitUntil([&] { return NodeState(kNodeB, &code) == mosaic_sdk::MOSAIC_NODE_CONTROL_REFUSED; }, 60000));
    EXPECT_EQ(50017, code);
    ASSERT_TRUE(WaitUntil([&] { return NodeState(kNodeA, &code) == mosaic_sdk::MOSAIC_NODE_CONTROLLING; }, 60000));
    EXPECT_EQ(0, code);
}

}  // namespace
}  // namespace mosaic_test
