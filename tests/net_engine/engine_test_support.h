#pragma once
// Helpers shared by the engine tests: bounded waits, captured log lines, a
// started engine, and running code on an engine's loop thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "net_engine/net_engine.h"

namespace engine_test {

// Polls pred until it holds or timeoutMs passed.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class LogLines {
public:
    LogLines() {
        base::SetLogCapture([this](int, const std::string& line) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lines.push_back(line);
        });
    }
    ~LogLines() { base::SetLogCapture(nullptr); }
    int Count(const std::string& text) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (const auto& line : m_lines) n += line.find(text) != std::string::npos;
        return n;
    }
    bool Contains(const std::string& text) const { return Count(text) > 0; }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

struct StopCounter : net_engine::IHttpNotic {
    std::atomic<int> stops{0};
    void OnFrameStop(std::shared_ptr<net_engine::INetEngine>, void*) override { ++stops; }
};

inline std::shared_ptr<net_engine::INetEngine> StartedEngine(std::shared_ptr<net_engine::IHttpNotic> notic = nullptr) {
    auto engine = net_engine::INetEngine::Create();
    EXPECT_EQ(engine->Init(notic, nullptr), 0);
    EXPECT_EQ(engine->Start(), 0);
    return engine;
}

// Runs fn on the loop thread (from a one-shot timer) and waits until it ran.
inline void OnLoop(const std::shared_ptr<net_engine::INetEngine>& engine, std::function<void()> fn) {
    std::atomic<bool> done{false};
    std::weak_ptr<net_engine::INetEngine> weak = engine;
    auto timer = net_engine::ITimerHandleInterface::Create(
        [&, weak](std::shared_ptr<net_engine::ITimerHandleInterface> self, void*) {
            fn();
            if (auto e = weak.lock()) e->DelTimerReq(self, false, nullptr, nullptr);
        },
        [&](std::shared_ptr<net_engine::ITimerHandleInterface>, void*) { done = true; }, 0, 0, nullptr);
    ASSERT_EQ(engine->AddTimerReq(timer, true, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return done.load(); }));
}

}  // namespace engine_test
