// Sends from several threads while the link is torn down and reconnected
// under them; meant to run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link_fixture.h"

using namespace relay_test;
using relay_port::IRelayPort;
using stream_peer::MessageWriter;
using stream_peer::StreamPeer;

TEST(LinkConcurrency, SendsFromManyThreadsWhileTheLinkReconnects) {
    StreamPeer peer;
    auto port = IRelayPort::Create();
    auto notic = std::make_shared<RecordingNotic>();
    ASSERT_EQ(InitLink(*port, peer.Url(), LinkParams(), notic), 0);
    ASSERT_TRUE(notic->WaitFor("status:2"));

    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < 4; ++t) {
        senders.emplace_back([&, t] {
            uint32_t xs[2] = {1, 2}, ys[2] = {3, 4};
            int i = 0;
            while (!stop) {
                int rc = 0;
                switch ((i++ + t) % 5) {
                    case 0: rc = port->SendInKeyReq(1, static_cast<uint8_t>(i)); break;
                    case 1: rc = port->SendInTouchReq(2, xs, ys, 2); break;
                    case 2: rc = port->SendInputStringReq("typed"); break;
                    case 3: rc = port->UpdateSessionId(t % 2 ? "sess-a" : "sess-b"); break;
                    case 4: rc = port->SendMsgTransReq("svc", "m"); break;
                }
                if (rc == 0) ++accepted;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
    }
    // Renew the session twice and cut the connection once.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 60103013).Package(stream_peer::kError)));
        ASSERT_TRUE(notic->WaitFor("status:2", round + 2, 20000));
    }
    peer.DropAll();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop = true;
    for (auto& s : senders) s.join();
    EXPECT_GT(accepted.load(), 0);
    EXPECT_GE(peer.Connections(), 3u);

    // UnInit while other threads still send: those sends are refused, nothing crashes.
    std::atomic<bool> stop2{false};
    std::thread late([&] {
        while (!stop2) port->SendInKeyReq(1, 1);
    });
    EXPECT_EQ(port->UnInit(), 0);
    stop2 = true;
    late.join();
    EXPECT_EQ(port->SendInKeyReq(1, 1), -1);
}
