#pragma once
// Fixture of the node link tests: an engine, log capture, a recording
// notification target and one CGCNode driven against local peers.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gc_node.h"
#include "link_harness.h"
#include "peers/node_peer.h"

namespace fleet_link_test {

inline void* const kUserData = reinterpret_cast<void*>(0x5eed);

struct NodeOptions {
    bool autoReconnect = true;
    int autoQueryIntervalMs = 0;
    int reconnectIntervalMs = 50;
    int connectTimeoutMs = 3000;
};

class NodeTest : public ::testing::Test {
protected:
    NodeTest() : notic(std::make_shared<RecordingNotic>()), node(std::make_shared<fleet_link::CGCNode>()) {}

    ~NodeTest() override {
        node->UnInit();
        harness.Barrier();
    }

    int StartNode(const std::string& url, NodeOptions options = {}) {
        return node->Init(harness.Engine(), notic, url.c_str(), "1.1.0", "node-a", options.autoReconnect,
                          options.autoQueryIntervalMs, options.reconnectIntervalMs, options.connectTimeoutMs,
                          kUserData);
    }

    // Starts the node against peer and waits until it registered.
    void StartRegistered(peers::NodePeer& peer, NodeOptions options = {}) {
        ASSERT_EQ(0, StartNode(peer.Url(), options));
        ASSERT_TRUE(notic->WaitForStatus(2));
    }

    LogRecorder logs;
    EngineHarness harness;
    std::shared_ptr<RecordingNotic> notic;
    std::shared_ptr<fleet_link::CGCNode> node;
};

}  // namespace fleet_link_test
