// HTTP figures: small POSTs on loopback with 1 and with 32 requests in flight.
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "peers/clients.h"
#include "peers/http_server.h"

namespace bench {
namespace {

using namespace net_engine;

constexpr const char* kBody = "{\"bench\":\"net_engine\",\"payload\":\"0123456789abcdef0123456789\"}";

// Keeps `inFlight` POSTs running on the engine until `total` were started;
// each result starts the next one from the loop thread.
class EnginePoster : public IHttpHandleNotic, public std::enable_shared_from_this<EnginePoster> {
public:
    EnginePoster(std::shared_ptr<INetEngine> engine, std::string url, size_t total)
        : m_engine(std::move(engine)), m_url(std::move(url)), m_limit(total) {}

    Rate Run(size_t inFlight) {
        Stopwatch watch;
        for (size_t i = 0; i < inFlight; ++i) StartOne(true);
        if (!m_done.WaitFor(m_limit, Clock::now() + kFigureCap)) {
            m_limit = 0;  // start nothing more; let the running ones end
            m_done.WaitFor(m_started.load(), Clock::now() + std::chrono::seconds(12));
        }
        Rate rate{m_done.Get() - m_failures.load(), watch.Seconds()};
        if (m_failures) std::printf("http: %zu engine requests failed\n", m_failures.load());
        return rate;
    }

    void OnResult(std::shared_ptr<IHttpHandleInterface> handle, HttpResult result, void*) override {
        if (result != HTTP_RESULT_OK || handle->GetResponseCode() != 200) ++m_failures;
        m_engine->DelHttpReq(handle, true, nullptr, nullptr);
        StartOne(false);
        m_done.Add();
    }

private:
    void StartOne(bool async) {
        if (m_started.fetch_add(1) >= m_limit.load()) {
            m_started.fetch_sub(1);
            return;
        }
        auto handle = IHttpHandleInterface::Create();
        if (handle->Init(m_url.c_str(), "post", HTTP_KIND_POST, shared_from_this(), 5000, 10000, nullptr) != 0 ||
            handle->SetPostFields(kBody) != 0 || m_engine->AddHttpReq(handle, async, nullptr, nullptr) != 0) {
            m_engine->DelHttpReq(handle, true, nullptr, nullptr);
            ++m_failures;
            m_done.Add();
        }
    }

    std::shared_ptr<INetEngine> m_engine;
    const std::string m_url;
    std::atomic<size_t> m_limit;
    std::atomic<size_t> m_started{0};
    std::atomic<size_t> m_failures{0};
    Counter m_done;
};

// The same POSTs from `inFlight` threads, each with its own keep-alive Beast client.
Rate BaselinePosts(const std::string& baseUrl, size_t total, size_t inFlight) {
    std::atomic<size_t> next{0}, ok{0};
    const auto deadline = Clock::now() + kFigureCap;
    Stopwatch watch;
    std::vector<std::thread> threads;
    for (size_t t = 0; t < inFlight; ++t)
        threads.emplace_back([&] {
            peers::HttpKeepAliveClient client(baseUrl);
            while (next.fetch_add(1) < total && Clock::now() < deadline)
                if (client.Post("/post", kBody).status == 200) ++ok;
        });
    for (auto& t : threads) t.join();
    return {ok.load(), watch.Seconds()};
}

}  // namespace

void RunHttpBenchmarks() {
    for (size_t inFlight : {size_t{1}, size_t{32}}) {
        const size_t total = inFlight == 1 ? 3000 : 10000;
        Figure figure;
        for (int round = 0; round < kRounds; ++round) {
            // A fresh engine and server each round: how the threads of one
            // pair happen to run stays with them, and the median over the
            // rounds does not inherit it.
            auto engine = StartEngine();
            if (!engine) {
                std::printf("http: engine did not start\n");
                return;
            }
            {
                peers::HttpServer server([](const peers::HttpRequest&) {
                    peers::HttpReply reply;
                    reply.headers = {{"Content-Type", "application/json"}};
                    reply.body = "{\"code\":0}";
                    return reply;
                });
                auto poster = std::make_shared<EnginePoster>(engine, server.BaseUrl() + "/post", total);
                Rate engineRate = poster->Run(inFlight);
                figure.Add(engineRate, BaselinePosts(server.BaseUrl(), total, inFlight));
            }
            engine->Stop(false);
        }
        figure.Print("http_post_inflight_" + std::to_string(inFlight));
    }
}

}  // namespace bench
