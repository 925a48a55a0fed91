// The end of a WebSocket transfer reaches the handle's notic as one OnResult
// (failed), whatever ended it, and never after the user detached the handle.
#include "http_recorder.h"
#include "peers/tls_files.h"
#include "peers/ws_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace net_engine;
using namespace engine_test;

namespace {

// A port on 127.0.0.1 that nothing listens on (bound, then released).
std::string ClosedPortUrl() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    int port = ntohs(addr.sin_port);
    ::close(fd);
    return "ws://127.0.0.1:" + std::to_string(port) + "/gone";
}

class TransferEndTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        engine = StartedEngine();
        peers::WsHandlers handlers;
        handlers.onClose = [this](std::shared_ptr<peers::WsSession>) { ++closes; };
        server = std::make_unique<peers::WsServer>(handlers, GetParam());
    }
    // Stopping the engine joins its loop: every count read after it is final.
    void TearDown() override {
        if (handle) DeleteHandle(engine, handle);
        EXPECT_EQ(engine->Stop(false), 0);
        server.reset();
        if (recorder) {
            EXPECT_EQ(recorder->ResultCount(), expectedResults) << "one report per ended transfer, none after detaching";
        }
    }

    void Open(const std::string& url, int connectTimeoutMs = 2000) {
        recorder = std::make_shared<HttpRecorder>();
        handle = IHttpHandleInterface::Create();
        ASSERT_EQ(handle->Init(url.c_str(), "ws", HTTP_KIND_WEBSOCKET, recorder, connectTimeoutMs, 0, nullptr), 0);
        ASSERT_EQ(handle->SetSSL(nullptr), 0);
        ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    }
    // Opens and waits for the upgrade and the server's session.
    void Connect(size_t sessionsBefore = 0) {
        Open(server->BaseUrl() + "/ws");
        WaitUpgraded(sessionsBefore);
    }
    void WaitUpgraded(size_t sessionsBefore = 0) {
        int code = 0;
        ASSERT_TRUE(WaitUntil([&] {
            OnLoop(engine, [&] { code = handle->GetResponseCode(); });
            return code == 101;
        }));
        ASSERT_TRUE(WaitUntil([&] { return server->AcceptedCount() == sessionsBefore + 1 && !server->Sessions().empty(); }));
        session = server->Sessions().back();
    }
    void WaitResults(size_t n) {
        ASSERT_TRUE(WaitUntil([&] { return recorder->ResultCount() >= n; }, 15000)) << recorder->ResultCount();
        EXPECT_EQ(recorder->LastResult(), HTTP_RESULT_FAILED);
    }
    // On the loop thread: the peer drops the connection, then frames are sent
    // until libcurl reports a failed send. Nothing else runs on the loop
    // meanwhile, so the engine cannot have seen the drop by reading.
    void DropAndSendUntilFailureOnLoop(LogLines& logs, std::function<void()> then = nullptr) {
        OnLoop(engine, [&] {
            session->Drop();
            ASSERT_TRUE(WaitUntil([&] { return closes.load() == 1; }));
            auto frame = std::make_shared<std::vector<char>>(64 * 1024, 'x');
            ASSERT_TRUE(WaitUntil([&] {
                size_t sent = 0;
                handle->SendWebSocket(frame, WS_FRAME_BINARY, &sent);
                return logs.Contains("curl_ws_send failed");
            }));
            EXPECT_EQ(recorder->ResultCount(), 0u) << "the end is reported outside the sending call";
            if (then) then();
        });
    }

    std::shared_ptr<INetEngine> engine;
    std::unique_ptr<peers::WsServer> server;
    std::atomic<int> closes{0};
    std::shared_ptr<HttpRecorder> recorder;
    std::shared_ptr<IHttpHandleInterface> handle;
    std::shared_ptr<peers::WsSession> session;
    size_t expectedResults = 1;
};

}  // namespace

TEST_P(TransferEndTest, CloseFrameFromThePeerIsAnsweredAndEndsTheTransfer) {
    Connect();
    session->Close(1001);
    WaitResults(1);
    auto messages = recorder->Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().kind, WS_FRAME_CLOSE) << "the close frame itself still arrives first";
    // The server's close handshake completes: it does not wait for its own time-out.
    ASSERT_TRUE(WaitUntil([&] { return closes.load() == 1; }));
}

TEST_P(TransferEndTest, TcpDropWithoutCloseFrame) {
    Connect();
    session->Drop();
    WaitResults(1);
    // Sending on the ended connection fails quietly and reports nothing more.
    size_t sent = 0;
    EXPECT_EQ(handle->SendWebSocket(std::make_shared<std::vector<char>>(3, 'x'), WS_FRAME_BINARY, &sent), 0);
    OnLoop(engine, [] {});
}

TEST_P(TransferEndTest, RefusedConnectIsAnEndWithoutWaitingForTheTimeout) {
    // Far longer than the wait below: only the refusal itself can end it in time.
    Open(ClosedPortUrl(), 30000);
    WaitResults(1);
}

TEST_P(TransferEndTest, SendFailureEndsTheTransferOnce) {
    LogLines logs;
    Connect();
    DropAndSendUntilFailureOnLoop(logs);
    WaitResults(1);
    // More failed sends before and after the report change nothing.
    OnLoop(engine, [&] {
        size_t sent = 0;
        handle->SendWebSocket(std::make_shared<std::vector<char>>(8, 'y'), WS_FRAME_BINARY, &sent);
    });
}

TEST_P(TransferEndTest, EveryNewTransferOfTheHandleEndsOnceMore) {
    Connect();
    session->Drop();
    WaitResults(1);
    ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    WaitUpgraded(1);
    session->Close(1000);
    WaitResults(2);
    expectedResults = 2;
}

TEST_P(TransferEndTest, NothingAfterTheUserDisconnected) {
    Connect();
    ASSERT_EQ(handle->DisconnectWebSocket(), 0);
    ASSERT_TRUE(WaitUntil([&] { return closes.load() == 1; }));
    // Reconnected and dropped by the peer on the loop, then disconnected by
    // the user before the engine could see the drop.
    ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    WaitUpgraded(1);
    OnLoop(engine, [&] {
        session->Drop();
        ASSERT_TRUE(WaitUntil([&] { return closes.load() == 2; }));
        EXPECT_EQ(handle->DisconnectWebSocket(), 0);
    });
    OnLoop(engine, [] {});
    expectedResults = 0;
}

TEST_P(TransferEndTest, NothingAfterTheUserDisconnectedAFailedSend) {
    LogLines logs;
    Connect();
    DropAndSendUntilFailureOnLoop(logs, [&] { EXPECT_EQ(handle->DisconnectWebSocket(), 0); });
    OnLoop(engine, [] {});
    expectedResults = 0;
}

TEST_P(TransferEndTest, NothingAfterTheUserDeleted) {
    Connect();
    OnLoop(engine, [&] {
        session->Drop();
        ASSERT_TRUE(WaitUntil([&] { return closes.load() == 1; }));
        EXPECT_EQ(engine->DelHttpReq(handle, false, nullptr, nullptr), 0);
    });
    handle.reset();
    expectedResults = 0;
}

TEST_P(TransferEndTest, NothingAfterADeleteAskedForFromAnotherThread) {
    recorder = std::make_shared<HttpRecorder>();
    handle = IHttpHandleInterface::Create();
    ASSERT_EQ(handle->Init(ClosedPortUrl().c_str(), "ws", HTTP_KIND_WEBSOCKET, recorder, 30000, 0, nullptr), 0);
    // Asked for before the loop could report the refusal, executed after it
    // or before it: either way nothing is reported.
    std::atomic<int> deleted{1};
    OnLoop(engine, [&] {
        ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
        std::thread other([&] {
            engine->DelHttpReq(handle, false, [&](std::shared_ptr<IHttpHandleInterface>, void*, int r) { deleted = r; },
                               nullptr);
        });
        other.join();
    });
    ASSERT_TRUE(WaitUntil([&] { return deleted.load() != 1; }));
    handle.reset();
    expectedResults = 0;
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, TransferEndTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "wss" : "ws"; });
