// Round trips through the test servers with the test clients, plain and TLS.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "peers/clients.h"
#include "peers/http_server.h"
#include "peers/tls_files.h"
#include "peers/ws_server.h"

namespace {

using namespace peers;

bool WaitFor(const std::function<bool()>& pred) {
    for (int i = 0; i < 500; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

class PeersHttp : public ::testing::TestWithParam<bool> {};

TEST_P(PeersHttp, RoundTripChunkedAndKeepAlive) {
    HttpServer server(
        [](const HttpRequest& req) {
            HttpReply reply;
            reply.headers = {{"Content-Type", "text/plain"}, {"X-Method", req.method}};
            reply.body = req.target + ":" + req.body;
            if (req.target == "/chunked") {
                reply.chunked = true;
                reply.chunkSize = 7;
                reply.body = Pattern(100);
            }
            if (req.target == "/drop") reply.drop = true;
            if (req.target == "/teapot") reply.status = 418;
            return reply;
        },
        GetParam());
    ASSERT_NE(server.Port(), 0);

    HttpClientReply r = HttpFetch("POST", server.BaseUrl() + "/echo?x=1", "hello", {{"X-Test", "1"}});
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "/echo?x=1:hello");
    r = HttpFetch("GET", server.BaseUrl() + "/chunked");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, Pattern(100));
    bool chunkedOnWire = false;
    for (const auto& h : r.headers) chunkedOnWire |= h.first == "Transfer-Encoding" && h.second == "chunked";
    EXPECT_TRUE(chunkedOnWire);
    EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/drop").status, 0);
    EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/teapot").status, 418);

    // A chunked request body of 3 MiB arrives whole.
    const std::string big = Pattern(3 << 20);
    r = HttpFetch("POST", server.BaseUrl() + "/big", big, {{"Transfer-Encoding", "chunked"}});
    EXPECT_EQ(r.body.size(), big.size() + 5);

    HttpKeepAliveClient client(server.BaseUrl());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(client.Post("/k", std::to_string(i)).body, "/k:" + std::to_string(i));

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 8u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].Header("x-test"), "1");
    EXPECT_EQ(requests[4].body, big);
    EXPECT_EQ(requests[4].Header("Transfer-Encoding"), "chunked");
}

TEST(PeersHttpRecord, RequestsNotKeptAreStillCounted) {
    HttpServer server([](const HttpRequest&) { return HttpReply(); });
    EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/kept").status, 200);
    server.KeepRequests(false);
    EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/counted").status, 200);
    EXPECT_EQ(server.RequestCount(), 2u);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].target, "/kept");
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, PeersHttp, ::testing::Values(false, true));

TEST(PeersHttpDelay, DelayedAnswerDoesNotHoldOtherConnections) {
    HttpServer server([](const HttpRequest& req) {
        HttpReply reply;
        if (req.target == "/slow") reply.delayMs = 3000;
        return reply;
    });
    std::atomic<bool> slowDone{false};
    std::thread slow([&] {
        EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/slow").status, 200);
        slowDone = true;
    });
    ASSERT_TRUE(WaitFor([&] { return server.RequestCount() == 1; }));
    EXPECT_EQ(HttpFetch("GET", server.BaseUrl() + "/fast").status, 200);
    EXPECT_FALSE(slowDone.load());
    slow.join();
}

struct WsEvents {
    std::mutex mutex;
    int closed = 0;
    int Closed() {
        std::lock_guard<std::mutex> lock(mutex);
        return closed;
    }
};

class PeersWs : public ::testing::TestWithParam<bool> {
protected:
    WsHandlers EchoHandlers() {
        WsHandlers h;
        h.onUpgrade = [](const HttpRequest& req) { return req.target == "/refuse" ? 403 : 101; };
        h.onMessage = [](std::shared_ptr<WsSession> s, const std::string& data, bool binary) {
            if (data == "fragment")
                s->SendFragmented(Pattern(1000), true, 5);
            else if (binary)
                s->SendBinary(data);
            else
                s->SendText(data);
        };
        h.onClose = [this](std::shared_ptr<WsSession>) {
            std::lock_guard<std::mutex> lock(events.mutex);
            ++events.closed;
        };
        return h;
    }
    WsEvents events;
};

TEST_P(PeersWs, EchoFragmentedAndRefusal) {
    WsServer server(EchoHandlers(), GetParam());
    WsClient client;
    EXPECT_FALSE(client.Connect(server.BaseUrl() + "/refuse"));
    ASSERT_TRUE(client.Connect(server.BaseUrl() + "/chat?room=1", {{"X-Token", "abc"}}));
    ASSERT_TRUE(WaitFor([&] { return server.Sessions().size() == 1; }));
    EXPECT_EQ(server.AcceptedCount(), 1u);
    auto session = server.Sessions()[0];
    EXPECT_EQ(session->Id(), 1);
    EXPECT_EQ(session->Upgrade().target, "/chat?room=1");
    EXPECT_EQ(session->Upgrade().Header("X-Token"), "abc");
    session->Ping("p");

    std::string data;
    bool binary = false;
    ASSERT_TRUE(client.SendText("hi"));
    ASSERT_TRUE(client.Receive(data, binary));
    EXPECT_EQ(data, "hi");
    EXPECT_FALSE(binary);
    const std::string big = Pattern(200000);
    ASSERT_TRUE(client.SendBinary(big));
    ASSERT_TRUE(client.Receive(data, binary));
    EXPECT_EQ(data, big);
    EXPECT_TRUE(binary);
    ASSERT_TRUE(client.SendText("fragment"));
    ASSERT_TRUE(client.Receive(data, binary));
    EXPECT_EQ(data, Pattern(1000));
    EXPECT_TRUE(binary);

    client.Close();
    EXPECT_FALSE(client.IsOpen());
    EXPECT_TRUE(WaitFor([&] { return events.Closed() == 1 && !session->IsOpen(); }));
    EXPECT_TRUE(server.Sessions().empty());
}

TEST_P(PeersWs, ServerCloseDropAndStop) {
    WsServer server(EchoHandlers(), GetParam());
    WsClient a, b, c;
    ASSERT_TRUE(a.Connect(server.BaseUrl() + "/a"));
    ASSERT_TRUE(b.Connect(server.BaseUrl() + "/b"));
    ASSERT_TRUE(c.Connect(server.BaseUrl() + "/c"));
    ASSERT_TRUE(WaitFor([&] { return server.Sessions().size() == 3; }));
    std::shared_ptr<WsSession> sa, sb;
    for (auto& s : server.Sessions()) {
        if (s->Upgrade().target == "/a") sa = s;
        if (s->Upgrade().target == "/b") sb = s;
    }
    ASSERT_TRUE(sa && sb);

    std::string data;
    bool binary = false;
    sa->Close(1000);
    EXPECT_FALSE(a.Receive(data, binary));
    EXPECT_FALSE(a.IsOpen());
    sb->Drop();
    EXPECT_FALSE(b.Receive(data, binary));
    EXPECT_FALSE(b.IsOpen());
    EXPECT_TRUE(WaitFor([&] { return events.Closed() == 2; }));

    // Stop with a client still connected; handles stay usable afterwards.
    server.Stop();
    EXPECT_FALSE(c.Receive(data, binary));
    sa->SendText("after stop");
    EXPECT_FALSE(sa->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, PeersWs, ::testing::Values(false, true));

TEST(PeersTls, FilesExist) {
    const TlsFiles& files = TestTls();
    EXPECT_EQ(&files, &TestTls());
    for (const std::string& f : {files.caFile, files.certFile, files.keyFile}) {
        std::FILE* fp = std::fopen(f.c_str(), "r");
        EXPECT_NE(fp, nullptr) << f;
        if (fp) std::fclose(fp);
    }
}

}  // namespace
