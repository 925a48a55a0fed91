// WebSocket connections through the engine against a local server.
#include "http_recorder.h"
#include "peers/tls_files.h"
#include "peers/ws_server.h"

using namespace net_engine;
using namespace engine_test;

namespace {

struct ServerLog {
    std::mutex mutex;
    std::vector<std::pair<std::string, bool>> received;
    std::atomic<int> closes{0};
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return received.size();
    }
    std::pair<std::string, bool> At(size_t i) {
        std::lock_guard<std::mutex> lock(mutex);
        return received.at(i);
    }
};

class WebSocketTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        engine = StartedEngine();
        peers::WsHandlers handlers;
        handlers.onMessage = [this](std::shared_ptr<peers::WsSession> session, const std::string& data, bool binary) {
            {
                std::lock_guard<std::mutex> lock(log.mutex);
                log.received.emplace_back(data, binary);
            }
            if (data.rfind("echo:", 0) == 0) binary ? session->SendBinary(data) : session->SendText(data);
        };
        handlers.onClose = [this](std::shared_ptr<peers::WsSession>) { ++log.closes; };
        server = std::make_unique<peers::WsServer>(handlers, GetParam());
    }
    void TearDown() override {
        if (handle) DeleteHandle(engine, handle);
        EXPECT_EQ(engine->Stop(false), 0);
        server.reset();
    }

    // Connects and waits for the upgrade, polling the status as a link would.
    void Connect(const std::string& path = "/ws", std::shared_ptr<HttpRecorder> notic = nullptr) {
        recorder = notic ? notic : std::make_shared<HttpRecorder>();
        handle = IHttpHandleInterface::Create();
        ASSERT_EQ(handle->Init((server->BaseUrl() + path).c_str(), "ws", HTTP_KIND_WEBSOCKET, recorder, 2000, 0, nullptr),
                  0);
        if (GetParam()) {
            ASSERT_EQ(handle->SetSSL(peers::TestTls().caFile.c_str()), 0);
        }
        ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
        int code = 0;
        ASSERT_TRUE(WaitUntil([&] {
            OnLoop(engine, [&] { code = handle->GetResponseCode(); });
            return code == 101;
        }));
        ASSERT_TRUE(WaitUntil([&] { return server->Sessions().size() == 1; }));
        session = server->Sessions().front();
    }
    size_t Send(const std::string& bytes, int kind) {
        size_t sent = 0;
        EXPECT_EQ(handle->SendWebSocket(std::make_shared<std::vector<char>>(bytes.begin(), bytes.end()), kind, &sent), 0);
        return sent;
    }

    std::shared_ptr<INetEngine> engine;
    std::unique_ptr<peers::WsServer> server;
    ServerLog log;
    std::shared_ptr<HttpRecorder> recorder;
    std::shared_ptr<IHttpHandleInterface> handle;
    std::shared_ptr<peers::WsSession> session;
};

}  // namespace

TEST_P(WebSocketTest, TextAndBinaryTravelBothWays) {
    Connect();
    EXPECT_EQ(session->Upgrade().target, "/ws");
    EXPECT_EQ(Send("echo:text", WS_FRAME_TEXT), 9u) << "off the loop thread the full size is reported";
    EXPECT_EQ(Send(std::string("echo:\0\1\2", 8), WS_FRAME_BINARY), 8u);
    ASSERT_TRUE(WaitUntil([&] { return recorder->MessageCount() == 2; }));
    auto messages = recorder->Messages();
    EXPECT_EQ(messages[0].data, "echo:text");
    EXPECT_EQ(messages[0].kind, WS_FRAME_TEXT);
    EXPECT_EQ(messages[1].data, std::string("echo:\0\1\2", 8));
    EXPECT_EQ(messages[1].kind, WS_FRAME_BINARY);
    EXPECT_EQ(log.At(0), std::make_pair(std::string("echo:text"), false));
    EXPECT_EQ(log.At(1).second, true);
}

TEST_P(WebSocketTest, FragmentedAndLargeMessagesArriveOnceAndWhole) {
    Connect();
    std::string big(700 * 1024, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 251);
    session->SendBinary(big);                       // many write-callback chunks of one frame
    session->SendFragmented("joined text message", false, 4);
    session->Ping("ping");                          // answered by libcurl, reported as kind 0
    session->SendFragmented(big, true, 7);          // large and over several frames
    ASSERT_TRUE(WaitUntil([&] {
        auto m = recorder->Messages();
        size_t data = 0;
        for (auto& msg : m) data += msg.kind != WS_FRAME_OTHER;
        return data == 3;
    }, 10000));
    std::vector<Message> data;
    for (auto& msg : recorder->Messages())
        if (msg.kind != WS_FRAME_OTHER) data.push_back(msg);
    ASSERT_EQ(data.size(), 3u);
    EXPECT_TRUE(data[0].data == big);
    EXPECT_EQ(data[0].kind, WS_FRAME_BINARY);
    EXPECT_EQ(data[1].data, "joined text message");
    EXPECT_EQ(data[1].kind, WS_FRAME_TEXT);
    EXPECT_TRUE(data[2].data == big);
    EXPECT_EQ(data[2].kind, WS_FRAME_BINARY);
}

TEST_P(WebSocketTest, EveryLengthEncodingArrivesExactly) {
    Connect();
    // Each side of the 7-bit, 16-bit and 64-bit length fields, and an empty frame.
    const std::vector<size_t> sizes = {0, 1, 125, 126, 127, 65535, 65536, 200001};
    std::vector<std::string> sent;
    for (size_t size : sizes) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + size) % 256);
        EXPECT_EQ(Send(bytes, WS_FRAME_BINARY), size);
        sent.push_back(std::move(bytes));
    }
    ASSERT_TRUE(WaitUntil([&] { return log.Count() == sizes.size(); }, 10000)) << log.Count();
    for (size_t i = 0; i < sizes.size(); ++i) {
        auto got = log.At(i);
        EXPECT_TRUE(got.first == sent[i]) << "size " << sizes[i] << " arrived as " << got.first.size();
        EXPECT_TRUE(got.second);
    }
}

TEST_P(WebSocketTest, FramesSentFromInsideANotificationKeepTheirOrder) {
    // Every echo answered from the loop thread inside the notification starts the next one.
    struct Chain : HttpRecorder {
        std::shared_ptr<IHttpHandleInterface> handle;  // set before the first echo
        std::atomic<int> left{200};
        void OnWebSocketData(const char* data, size_t size, int kind, void* user) override {
            HttpRecorder::OnWebSocketData(data, size, kind, user);
            if (kind != WS_FRAME_TEXT || --left <= 0) return;
            std::string next = "echo:" + std::to_string(left.load());
            size_t sent = 0;
            handle->SendWebSocket(std::make_shared<std::vector<char>>(next.begin(), next.end()), WS_FRAME_TEXT, &sent);
        }
    };
    auto chain = std::make_shared<Chain>();
    Connect("/ws", chain);
    chain->handle = handle;
    Send("echo:200", WS_FRAME_TEXT);
    ASSERT_TRUE(WaitUntil([&] { return chain->MessageCount() == 200; }, 10000)) << chain->MessageCount();
    auto messages = chain->Messages();
    for (size_t i = 0; i < messages.size(); ++i) EXPECT_EQ(messages[i].data, "echo:" + std::to_string(200 - i));
    chain->handle.reset();
}

TEST_P(WebSocketTest, FramesFromManyThreadsAreNeverCutOrMixed) {
    Connect();
    constexpr int kThreads = 4, kEach = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                // Sizes up to ~1 MiB so that some sends can go out only in part.
                std::string payload((i % 5) * 120000 + 10, static_cast<char>('a' + t));
                std::string tag = std::to_string(t) + ":" + std::to_string(i) + ":";
                Send(tag + payload, WS_FRAME_BINARY);
            }
        });
    }
    for (auto& th : threads) th.join();
    ASSERT_TRUE(WaitUntil([&] { return log.Count() == kThreads * kEach; }, 30000)) << log.Count();
    std::vector<int> next(kThreads, 0);
    for (size_t i = 0; i < log.Count(); ++i) {
        auto msg = log.At(i).first;
        int t = std::stoi(msg.substr(0, msg.find(':')));
        std::string rest = msg.substr(msg.find(':') + 1);
        int seq = std::stoi(rest.substr(0, rest.find(':')));
        std::string payload = rest.substr(rest.find(':') + 1);
        EXPECT_EQ(seq, next[t]++) << "frames of one thread keep their order";
        EXPECT_EQ(payload.size(), static_cast<size_t>((seq % 5) * 120000 + 10));
        EXPECT_EQ(payload.find_first_not_of(static_cast<char>('a' + t)), std::string::npos);
    }
}

TEST_P(WebSocketTest, ServerCloseIsReportedAsACloseFrameThenAsTheEnd) {
    Connect();
    session->Close(1000);
    ASSERT_TRUE(WaitUntil([&] { return recorder->ResultCount() == 1 && log.closes.load() == 1; }));
    bool closeFrame = false;
    for (auto& m : recorder->Messages()) closeFrame |= m.kind == WS_FRAME_CLOSE;
    EXPECT_TRUE(closeFrame);
    EXPECT_EQ(recorder->LastResult(), HTTP_RESULT_FAILED);
}

TEST_P(WebSocketTest, ClientCloseHandshakeEndsTheTransfer) {
    Connect();
    Send("", WS_FRAME_CLOSE);
    // The server answers the close frame; the connection then ends.
    ASSERT_TRUE(WaitUntil([&] { return recorder->ResultCount() == 1; }));
    auto m = recorder->Messages();
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.back().kind, WS_FRAME_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return log.closes.load() == 1; }));
    EXPECT_EQ(handle->DisconnectWebSocket(), 0) << "a disconnect after the end is harmless";
}

TEST_P(WebSocketTest, DisconnectThenReconnectOnTheSameHandle) {
    Connect();
    ASSERT_EQ(handle->DisconnectWebSocket(), 0);
    ASSERT_TRUE(WaitUntil([&] { return log.closes.load() == 1; }));
    ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return server->Sessions().size() == 1 && server->AcceptedCount() == 2; }));
    int code = 0;
    ASSERT_TRUE(WaitUntil([&] {
        OnLoop(engine, [&] { code = handle->GetResponseCode(); });
        return code == 101;
    }));
    Send("echo:again", WS_FRAME_TEXT);
    ASSERT_TRUE(WaitUntil([&] { return recorder->MessageCount() == 1; }));
    EXPECT_EQ(recorder->Messages()[0].data, "echo:again");
}

TEST_P(WebSocketTest, StoppingTheEngineWithAnOpenConnectionEndsItsLoop) {
    Connect();
    EXPECT_EQ(engine->Stop(false), 0);  // returns only once the loop has ended
    EXPECT_EQ(handle->DisconnectWebSocket(), -1) << "the engine is gone";
    // A fresh engine deletes the handle in TearDown.
    engine = StartedEngine();
}

TEST_P(WebSocketTest, SendChecksItsArguments) {
    LogLines logs;
    Connect();
    size_t sent = 0;
    auto data = std::make_shared<std::vector<char>>(3, 'x');
    EXPECT_EQ(handle->SendWebSocket(data, 4, &sent), -1);
    EXPECT_TRUE(logs.Contains("[NET_ENGINE]unknow websocket type[4]"));
    EXPECT_EQ(handle->SendWebSocket(data, WS_FRAME_TEXT, nullptr), -1);
    auto plain = IHttpHandleInterface::Create();
    ASSERT_EQ(plain->Init("http://127.0.0.1:9/", nullptr, HTTP_KIND_GET, nullptr, 10, 10, nullptr), 0);
    EXPECT_EQ(plain->SendWebSocket(data, WS_FRAME_TEXT, &sent), -1) << "not a WebSocket handle";
    DeleteHandle(engine, plain);
}

TEST_P(WebSocketTest, RefusedUpgradeShowsItsStatus) {
    server.reset();
    peers::WsHandlers handlers;
    handlers.onUpgrade = [](const peers::HttpRequest&) { return 404; };
    server = std::make_unique<peers::WsServer>(handlers, GetParam());
    recorder = std::make_shared<HttpRecorder>();
    handle = IHttpHandleInterface::Create();
    ASSERT_EQ(handle->Init((server->BaseUrl() + "/nope").c_str(), "ws", HTTP_KIND_WEBSOCKET, recorder, 2000, 0, nullptr), 0);
    if (GetParam()) {
        ASSERT_EQ(handle->SetSSL(nullptr), 0);
    }
    ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    int code = 0;
    ASSERT_TRUE(WaitUntil([&] {
        OnLoop(engine, [&] { code = handle->GetResponseCode(); });
        return code == 404;
    }));
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, WebSocketTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "wss" : "ws"; });
