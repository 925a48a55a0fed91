// Plain HTTP(S) transfers through the engine against a local server.
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "http_recorder.h"
#include "peers/http_server.h"
#include "peers/tls_files.h"

using namespace net_engine;
using namespace engine_test;

namespace {

class HttpRequestTest : public ::testing::Test {
protected:
    void SetUp() override { engine = StartedEngine(); }
    void TearDown() override { EXPECT_EQ(engine->Stop(false), 0); }

    // Runs one transfer to its end and deletes the handle.
    void Run(const std::shared_ptr<IHttpHandleInterface>& handle, const std::shared_ptr<HttpRecorder>& recorder) {
        ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
        ASSERT_TRUE(WaitUntil([&] { return recorder->ResultCount() == 1; }, 10000));
        DeleteHandle(engine, handle);
    }
    // A plain GET of `url`, run to its end.
    std::shared_ptr<HttpRecorder> Get(const std::string& url) {
        auto recorder = std::make_shared<HttpRecorder>();
        auto handle = IHttpHandleInterface::Create();
        EXPECT_EQ(handle->Init(url.c_str(), nullptr, HTTP_KIND_GET, recorder, 2000, 5000, nullptr), 0);
        Run(handle, recorder);
        return recorder;
    }
    std::shared_ptr<INetEngine> engine;
};

peers::HttpReply Echo(const peers::HttpRequest& request) {
    peers::HttpReply reply;
    reply.status = 201;
    reply.body = request.method + " " + request.target + " [" + request.Header("X-One") + "|" +
                 request.Header("X-Two") + "|" + request.Header("X-Three") + "] " + request.body;
    return reply;
}

}  // namespace

TEST_F(HttpRequestTest, GetSendsAccumulatedHeadersAndReadsStatusAndBody) {
    peers::HttpServer server(Echo);
    auto recorder = std::make_shared<HttpRecorder>();
    auto handle = IHttpHandleInterface::Create();
    int marker = 0;
    ASSERT_EQ(handle->Init((server.BaseUrl() + "/get?x=1").c_str(), "get", HTTP_KIND_GET, recorder, 2000, 5000, &marker), 0);
    EXPECT_EQ(handle->SetPostFields("not for a GET"), -1);
    EXPECT_EQ(handle->SetHeaders({}), -1) << "an empty list on a handle without headers";
    ASSERT_EQ(handle->SetHeaders({"X-One: 1", "X-Two: 2"}), 0);
    ASSERT_EQ(handle->SetHeaders({"X-Three: 3"}), 0);
    EXPECT_EQ(handle->GetName(), "get");
    EXPECT_EQ(handle->GetUserData(), &marker);
    Run(handle, recorder);
    EXPECT_EQ(recorder->LastResult(), HTTP_RESULT_OK);
    EXPECT_EQ(recorder->Status(), 201);
    EXPECT_EQ(recorder->Body(), "GET /get?x=1 [1|2|3] ");
    EXPECT_EQ(handle->GetResponse(), recorder->Body()) << "the body outlives the reset";
}

TEST_F(HttpRequestTest, PostSendsItsBodyAndAHandleCanBeUsedAgainAfterTheReset) {
    peers::HttpServer server(Echo);
    auto handle = IHttpHandleInterface::Create();
    for (int round = 0; round < 2; ++round) {
        auto recorder = std::make_shared<HttpRecorder>();
        ASSERT_EQ(handle->Init((server.BaseUrl() + "/post").c_str(), nullptr, HTTP_KIND_POST, recorder, 2000, 5000,
                               nullptr),
                  0);
        EXPECT_EQ(handle->Init("http://127.0.0.1/", nullptr, HTTP_KIND_POST, recorder, 1, 1, nullptr), -1)
            << "second Init without a reset";
        std::string body = "{\"round\":" + std::to_string(round) + "}";
        ASSERT_EQ(handle->SetPostFields(body.c_str()), 0);
        Run(handle, recorder);
        EXPECT_EQ(recorder->Body(), "POST /post [||] " + body);
    }
    EXPECT_EQ(handle->Init(nullptr, nullptr, HTTP_KIND_GET, nullptr, 1, 1, nullptr), -1);
}

TEST_F(HttpRequestTest, LargeChunkedBodyGoesToAFileWithProgress) {
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 + 7);
    peers::HttpServer server([&](const peers::HttpRequest&) {
        peers::HttpReply reply;
        reply.body = big;
        reply.chunked = true;
        reply.chunkSize = 64 * 1024;
        return reply;
    });
    std::string path = ::testing::TempDir() + "/engine_download.bin";
    auto recorder = std::make_shared<HttpRecorder>();
    auto handle = IHttpHandleInterface::Create();
    ASSERT_EQ(handle->Init((server.BaseUrl() + "/file").c_str(), "file", HTTP_KIND_GET, recorder, 2000, 10000, nullptr), 0);
    ASSERT_EQ(handle->SetWriteFile(path.c_str()), 0);
    ASSERT_EQ(handle->SetProgress(true), 0);
    Run(handle, recorder);
    EXPECT_EQ(recorder->LastResult(), HTTP_RESULT_OK);
    EXPECT_TRUE(handle->GetResponse().empty()) << "data went to the file";
    EXPECT_GT(recorder->ProgressCalls(), 0);
    EXPECT_EQ(recorder->LastDownloaded(), static_cast<double>(big.size()));
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_TRUE(content.str() == big) << "file differs; size " << content.str().size();
}

TEST_F(HttpRequestTest, WriteFileThatCannotBeOpenedFailsWithItsLine) {
    LogLines logs;
    auto handle = IHttpHandleInterface::Create();
    EXPECT_EQ(handle->SetWriteFile("/tmp/x"), -1) << "not initialised";
    ASSERT_EQ(handle->Init("http://127.0.0.1:9/", nullptr, HTTP_KIND_GET, nullptr, 100, 100, nullptr), 0);
    EXPECT_EQ(handle->SetWriteFile("/nonexistent-dir/file"), -1);
    EXPECT_TRUE(logs.Contains("[NET_ENGINE]Open file[/nonexistent-dir/file] failed[2]"));
    DeleteHandle(engine, handle);
}

TEST_F(HttpRequestTest, TimeoutsAndRefusedPortsEndAsFailures) {
    peers::HttpServer slow([](const peers::HttpRequest&) {
        peers::HttpReply reply;
        reply.delayMs = 2000;
        return reply;
    });
    auto timedOut = std::make_shared<HttpRecorder>();
    auto h1 = IHttpHandleInterface::Create();
    ASSERT_EQ(h1->Init((slow.BaseUrl() + "/slow").c_str(), nullptr, HTTP_KIND_GET, timedOut, 1000, 200, nullptr), 0);
    Run(h1, timedOut);
    EXPECT_EQ(timedOut->LastResult(), HTTP_RESULT_FAILED);

    // A port that nothing listens on: take a free one from a server that is gone.
    uint16_t port;
    {
        peers::HttpServer gone([](const peers::HttpRequest&) { return peers::HttpReply{}; });
        port = gone.Port();
    }
    auto refused = std::make_shared<HttpRecorder>();
    auto h2 = IHttpHandleInterface::Create();
    std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";
    ASSERT_EQ(h2->Init(url.c_str(), nullptr, HTTP_KIND_GET, refused, 1000, 2000, nullptr), 0);
    Run(h2, refused);
    EXPECT_EQ(refused->LastResult(), HTTP_RESULT_FAILED);
    EXPECT_EQ(refused->Status(), 0);

    peers::HttpServer dropping([](const peers::HttpRequest&) {
        peers::HttpReply reply;
        reply.drop = true;
        return reply;
    });
    auto dropped = std::make_shared<HttpRecorder>();
    auto h3 = IHttpHandleInterface::Create();
    ASSERT_EQ(h3->Init((dropping.BaseUrl() + "/").c_str(), nullptr, HTTP_KIND_GET, dropped, 1000, 2000, nullptr), 0);
    Run(h3, dropped);
    EXPECT_EQ(dropped->LastResult(), HTTP_RESULT_FAILED);
}

TEST_F(HttpRequestTest, TlsWithVerificationOffAndOnAgainstTheTestCertificate) {
    peers::HttpServer server(Echo, true);
    const std::string url = server.BaseUrl() + "/tls";

    auto unverified = std::make_shared<HttpRecorder>();
    auto h1 = IHttpHandleInterface::Create();
    ASSERT_EQ(h1->Init(url.c_str(), nullptr, HTTP_KIND_GET, unverified, 2000, 5000, nullptr), 0);
    ASSERT_EQ(h1->SetSSL(nullptr), 0);
    Run(h1, unverified);
    EXPECT_EQ(unverified->LastResult(), HTTP_RESULT_OK);
    EXPECT_EQ(unverified->Status(), 201);

    auto verified = std::make_shared<HttpRecorder>();
    auto h2 = IHttpHandleInterface::Create();
    ASSERT_EQ(h2->Init(url.c_str(), nullptr, HTTP_KIND_GET, verified, 2000, 5000, nullptr), 0);
    ASSERT_EQ(h2->SetSSL(peers::TestTls().caFile.c_str()), 0);
    Run(h2, verified);
    EXPECT_EQ(verified->LastResult(), HTTP_RESULT_OK);

    // Verification on with a CA that did not sign the server's certificate.
    std::string otherCa = ::testing::TempDir() + "/other_ca.pem";
    { std::ofstream(otherCa) << "not a certificate\n"; }
    auto rejected = std::make_shared<HttpRecorder>();
    auto h3 = IHttpHandleInterface::Create();
    ASSERT_EQ(h3->Init(url.c_str(), nullptr, HTTP_KIND_GET, rejected, 2000, 5000, nullptr), 0);
    ASSERT_EQ(h3->SetSSL(otherCa.c_str()), 0);
    Run(h3, rejected);
    EXPECT_EQ(rejected->LastResult(), HTTP_RESULT_FAILED);
    EXPECT_EQ(server.RequestCount(), 2u);
}

TEST_F(HttpRequestTest, ManyRequestsInFlightFromSeveralThreads) {
    peers::HttpServer server(Echo);
    constexpr int kThreads = 4, kEach = 16;
    std::vector<std::shared_ptr<HttpRecorder>> recorders;
    std::vector<std::shared_ptr<IHttpHandleInterface>> handles;
    for (int i = 0; i < kThreads * kEach; ++i) {
        recorders.push_back(std::make_shared<HttpRecorder>());
        handles.push_back(IHttpHandleInterface::Create());
        std::string url = server.BaseUrl() + "/n" + std::to_string(i);
        ASSERT_EQ(handles.back()->Init(url.c_str(), nullptr, HTTP_KIND_GET, recorders.back(), 2000, 10000, nullptr), 0);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t * kEach; i < (t + 1) * kEach; ++i) engine->AddHttpReq(handles[i], false, nullptr, nullptr);
        });
    }
    for (auto& th : threads) th.join();
    for (int i = 0; i < kThreads * kEach; ++i) {
        ASSERT_TRUE(WaitUntil([&] { return recorders[i]->ResultCount() == 1; }, 10000)) << i;
        EXPECT_EQ(recorders[i]->Body(), "GET /n" + std::to_string(i) + " [||] ");
        DeleteHandle(engine, handles[i]);
    }
}

namespace {

// Each result deletes its handle and starts the chain's next request from the
// loop thread, as the SDKs do; the bodies say which request each one was.
class RequestChain : public IHttpHandleNotic, public std::enable_shared_from_this<RequestChain> {
public:
    RequestChain(std::shared_ptr<INetEngine> engine, std::string url, int length)
        : m_engine(std::move(engine)), m_url(std::move(url)), m_length(length) {}

    void Start() { StartNext(); }
    void OnResult(std::shared_ptr<IHttpHandleInterface> handle, HttpResult result, void*) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bodies.push_back(result == HTTP_RESULT_OK ? handle->GetResponse() : "failed");
        }
        m_engine->DelHttpReq(handle, true, nullptr, nullptr);
        StartNext();
    }
    std::vector<std::string> Bodies() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bodies;
    }

private:
    void StartNext() {
        if (m_started == m_length) return;
        auto handle = IHttpHandleInterface::Create();
        const std::string url = m_url + "/" + std::to_string(m_started++);
        if (handle->Init(url.c_str(), nullptr, HTTP_KIND_POST, shared_from_this(), 2000, 5000, nullptr) != 0 ||
            handle->SetPostFields("next") != 0 || m_engine->AddHttpReq(handle, false, nullptr, nullptr) != 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bodies.push_back("not started");
        }
    }

    std::shared_ptr<INetEngine> m_engine;
    const std::string m_url;
    const int m_length;
    int m_started = 0;  // loop thread after the first
    std::mutex m_mutex;
    std::vector<std::string> m_bodies;
};

}  // namespace

// Requests added from result callbacks start in the same loop turn as the
// answers that ended their predecessors, and results may wait there for others
// to be reported with them; none may be left waiting.
TEST_F(HttpRequestTest, ChainsStartedFromResultCallbacksRunToTheirEnd) {
    peers::HttpServer server(Echo);
    constexpr int kChains = 32, kLength = 40;
    std::vector<std::shared_ptr<RequestChain>> chains;
    for (int c = 0; c < kChains; ++c) {
        chains.push_back(std::make_shared<RequestChain>(engine, server.BaseUrl() + "/c" + std::to_string(c), kLength));
        OnLoop(engine, [chain = chains.back()] { chain->Start(); });
    }
    for (int c = 0; c < kChains; ++c) {
        ASSERT_TRUE(WaitUntil([&] { return chains[c]->Bodies().size() == kLength; }, 20000)) << c;
        const auto bodies = chains[c]->Bodies();
        for (int i = 0; i < kLength; ++i)
            EXPECT_EQ(bodies[i], "POST /c" + std::to_string(c) + "/" + std::to_string(i) + " [||] next");
    }
}

// The server outlives the engine here, so the connections stay open in
// libcurl's pool while the engine stops.
TEST_F(HttpRequestTest, StoppingTheEngineWithPooledConnectionsEndsItsLoop) {
    peers::HttpServer plain(Echo);
    peers::HttpServer tls(Echo, true);
    for (const auto* server : {&plain, &tls}) {
        for (int i = 0; i < 2; ++i) {
            auto recorder = std::make_shared<HttpRecorder>();
            auto handle = IHttpHandleInterface::Create();
            ASSERT_EQ(handle->Init((server->BaseUrl() + "/pooled").c_str(), nullptr, HTTP_KIND_GET, recorder, 2000,
                                   5000, nullptr),
                      0);
            if (server == &tls) {
                ASSERT_EQ(handle->SetSSL(nullptr), 0);
            }
            Run(handle, recorder);
            EXPECT_EQ(recorder->Status(), 201);
        }
    }
    EXPECT_EQ(engine->Stop(false), 0);  // returns only once the loop has ended
    engine = StartedEngine();           // for TearDown
}

// libcurl handles are kept and used again: nothing of a request may carry
// over into the next one.
TEST_F(HttpRequestTest, ARequestCarriesNothingOfAnEarlierOne) {
    peers::HttpServer server(Echo);
    for (int round = 0; round < 20; ++round) {
        auto postRecorder = std::make_shared<HttpRecorder>();
        auto post = IHttpHandleInterface::Create();
        ASSERT_EQ(post->Init((server.BaseUrl() + "/a").c_str(), nullptr, HTTP_KIND_POST, postRecorder, 2000, 5000,
                             nullptr),
                  0);
        ASSERT_EQ(post->SetHeaders({"X-One: 1"}), 0);
        ASSERT_EQ(post->SetPostFields("body"), 0);
        Run(post, postRecorder);
        EXPECT_EQ(postRecorder->Body(), "POST /a [1||] body");

        EXPECT_EQ(Get(server.BaseUrl() + "/b")->Body(), "GET /b [||] ");
    }
}

namespace {

// CPU time a thread of this process has used so far, in clock ticks.
long ThreadCpuTicks(long tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // the name may hold spaces
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return utime + stime;
}

}  // namespace

// After traffic the loop keeps polling for a moment; then it must sleep
// again instead of burning a core while nothing happens.
TEST_F(HttpRequestTest, TheLoopSleepsAgainOnceTrafficStops) {
    peers::HttpServer server(Echo);
    long loopTid = 0;
    OnLoop(engine, [&] { loopTid = base::GetTid(); });
    for (int round = 0; round < 20; ++round) EXPECT_EQ(Get(server.BaseUrl() + "/busy")->Status(), 201);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    const long before = ThreadCpuTicks(loopTid);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the span measured, not a wait for an event
    const long used = ThreadCpuTicks(loopTid) - before;
    EXPECT_LT(used, ticksPerSecond * 3 / 10) << "the loop used " << used << " ticks of " << ticksPerSecond
                                             << " in an idle second";
}
