// WebSocket figures: binary messages one way (client to server and server to
// client) and round trips, for 64 B, 1 KiB and 64 KiB.
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_support.h"
#include "peers/clients.h"
#include "peers/ws_server.h"

namespace bench {
namespace {

using namespace net_engine;

// "/echo" sends every binary message back; elsewhere binary messages are
// counted. A text "burst <n> <size>" answers with n binary messages.
class BenchWsServer {
public:
    BenchWsServer() : m_server(Handlers()) {}
    std::string Url(const char* path) const { return m_server.BaseUrl() + path; }
    Counter& Sunk() { return m_sunk; }

private:
    peers::WsHandlers Handlers() {
        peers::WsHandlers h;
        h.onOpen = [](std::shared_ptr<peers::WsSession> s) { s->SendText("ready"); };
        h.onMessage = [this](std::shared_ptr<peers::WsSession> s, const std::string& data, bool binary) {
            if (!binary) {
                size_t n = 0, size = 0;
                if (std::sscanf(data.c_str(), "burst %zu %zu", &n, &size) == 2) {
                    const std::string payload = Bytes(size);
                    for (size_t i = 0; i < n; ++i) s->SendBinary(payload);
                }
            } else if (s->Upgrade().target == "/echo") {
                s->SendBinary(data);
            } else {
                m_sunk.Add();
            }
        };
        return h;
    }

    Counter m_sunk;  // outlives the server's handlers
    peers::WsServer m_server;
};

class EngineWsNotic : public IHttpHandleNotic {
public:
    void OnWebSocketData(const char*, size_t, int kind, void*) override {
        if (kind == WS_FRAME_BINARY) {
            if (onBinary) onBinary();
            binaries.Add();
        } else if (kind == WS_FRAME_TEXT) {
            texts.Add();
        }
    }
    std::function<void()> onBinary;  // loop thread; set while no binary traffic runs
    Counter binaries, texts;
};

// One engine WebSocket connection.
struct EngineWs {
    std::shared_ptr<INetEngine> engine;
    std::shared_ptr<EngineWsNotic> notic = std::make_shared<EngineWsNotic>();
    std::shared_ptr<IHttpHandleInterface> handle = IHttpHandleInterface::Create();

    bool Open(std::shared_ptr<INetEngine> e, const std::string& url) {
        engine = std::move(e);
        if (handle->Init(url.c_str(), "bench", HTTP_KIND_WEBSOCKET, notic, 5000, 0, nullptr) != 0) return false;
        if (engine->AddHttpReq(handle, false, nullptr, nullptr) != 0) return false;
        return notic->texts.WaitFor(1, Clock::now() + std::chrono::seconds(5));  // the server's "ready"
    }
    bool Send(const std::shared_ptr<std::vector<char>>& data, int kind) {
        size_t sent = 0;
        return handle->SendWebSocket(data, kind, &sent) == 0;
    }
    void Close() {
        if (engine) RemoveHandle(engine, handle);  // no callbacks after this
        notic->onBinary = nullptr;
    }
};

std::shared_ptr<std::vector<char>> Payload(const std::string& bytes) {
    return std::make_shared<std::vector<char>>(bytes.begin(), bytes.end());
}

// Keeps at most `window` messages unacknowledged by the server's count.
template <class SendOne>
Rate SendOneWay(Counter& sunk, size_t count, size_t window, SendOne sendOne) {
    sunk.Reset();
    Stopwatch watch;
    const auto deadline = Clock::now() + kFigureCap;
    size_t sent = 0;
    for (; sent < count && Clock::now() < deadline; ++sent) {
        if (sent >= window && !sunk.WaitFor(sent - window + 1, deadline)) break;
        if (!sendOne()) break;
    }
    sunk.WaitFor(sent, deadline);
    return {sunk.Get(), watch.Seconds()};
}

// The three figures of one message size.
struct SizeFigures {
    size_t size, count, rtts;
    Figure send, receive, rtt;
    std::string Label() const {
        return size >= 1024 ? std::to_string(size / 1024) + "KiB" : std::to_string(size) + "B";
    }
};

// One round of each figure of a size, on connections opened for it.
void RunSizeRound(BenchWsServer& server, const std::shared_ptr<INetEngine>& engine, SizeFigures& figures) {
    const size_t size = figures.size, count = figures.count, rtts = figures.rtts;
    const std::string bytes = Bytes(size);
    const auto payload = Payload(bytes);
    const size_t window = std::max<size_t>(1, (256u << 10) / size);
    const size_t burst = size >= (64u << 10) ? count / 2 : count;
    const auto burstText = Payload("burst " + std::to_string(burst) + " " + std::to_string(size));

    EngineWs sink, echo;
    peers::WsClient sinkClient, echoClient;
    std::string data;
    bool binary = false;
    if (!sink.Open(engine, server.Url("/sink")) || !echo.Open(engine, server.Url("/echo")) ||
        !sinkClient.Connect(server.Url("/sink")) || !echoClient.Connect(server.Url("/echo")) ||
        !sinkClient.Receive(data, binary) || !echoClient.Receive(data, binary)) {
        std::printf("ws_%s: connecting failed\n", figures.Label().c_str());
        sink.Close();
        echo.Close();
        return;
    }

    Rate engineSend = SendOneWay(server.Sunk(), count, window, [&] { return sink.Send(payload, WS_FRAME_BINARY); });
    figures.send.Add(engineSend,
                     SendOneWay(server.Sunk(), count, window, [&] { return sinkClient.SendBinary(bytes); }));

    // One untimed burst each first: the first burst of a server also pays for
    // its heap growing to hold it, which would count against whichever side
    // came first.
    auto engineBurst = [&] {
        const size_t before = sink.notic->binaries.Get();
        Stopwatch watch;
        sink.Send(burstText, WS_FRAME_TEXT);
        sink.notic->binaries.WaitFor(before + burst, Clock::now() + kFigureCap);
        return Rate{sink.notic->binaries.Get() - before, watch.Seconds()};
    };
    auto baselineBurst = [&] {
        Rate rate;
        Stopwatch watch;
        const auto deadline = Clock::now() + kFigureCap;
        sinkClient.SendText("burst " + std::to_string(burst) + " " + std::to_string(size));
        while (rate.done < burst && Clock::now() < deadline && sinkClient.Receive(data, binary, 2000)) ++rate.done;
        rate.seconds = watch.Seconds();
        return rate;
    };
    engineBurst();
    baselineBurst();
    const Rate engineRecv = engineBurst();
    figures.receive.Add(engineRecv, baselineBurst());

    // Each reply sends the next message until `left` runs out (loop thread).
    auto left = std::make_shared<std::atomic<size_t>>(rtts);
    echo.notic->onBinary = [left, handle = echo.handle, payload] {
        size_t v = left->load();
        while (v > 0 && !left->compare_exchange_weak(v, v - 1)) {
        }
        size_t sent = 0;
        if (v > 1) handle->SendWebSocket(payload, WS_FRAME_BINARY, &sent);
    };
    const size_t before = echo.notic->binaries.Get();
    Stopwatch engineWatch;
    echo.Send(payload, WS_FRAME_BINARY);
    echo.notic->binaries.WaitFor(before + rtts, Clock::now() + kFigureCap);
    const Rate engineRtt{echo.notic->binaries.Get() - before, engineWatch.Seconds()};
    *left = 0;  // a capped run stops sending

    Rate baseRtt;
    Stopwatch baseWatch;
    const auto deadline = Clock::now() + kFigureCap;
    while (baseRtt.done < rtts && Clock::now() < deadline && echoClient.SendBinary(bytes) &&
           echoClient.Receive(data, binary, 2000))
        ++baseRtt.done;
    baseRtt.seconds = baseWatch.Seconds();
    figures.rtt.Add(engineRtt, baseRtt);

    sink.Close();
    echo.Close();
}

}  // namespace

void RunWsBenchmarks() {
    std::vector<SizeFigures> sizes = {{64, 20000, 3000, {}, {}, {}},
                                      {1024, 20000, 3000, {}, {}, {}},
                                      {64u << 10, 2000, 1000, {}, {}, {}}};
    for (int round = 0; round < kRounds; ++round) {
        // A fresh engine and server each round: how the threads of one pair
        // happen to run stays with them, and the medians do not inherit it.
        auto engine = StartEngine();
        if (!engine) {
            std::printf("ws: engine did not start\n");
            return;
        }
        {
            BenchWsServer server;
            for (auto& figures : sizes) RunSizeRound(server, engine, figures);
        }
        engine->Stop(false);
    }
    for (const auto& figures : sizes) {
        figures.send.Print("ws_send_" + figures.Label());
        figures.receive.Print("ws_recv_" + figures.Label());
        figures.rtt.Print("ws_rtt_" + figures.Label());
    }
}

}  // namespace bench
