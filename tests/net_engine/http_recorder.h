#pragma once
// A request handle's notification target that records what arrived.
#include "engine_test_support.h"

namespace engine_test {

struct Message {
    std::string data;
    int kind;
};

class HttpRecorder : public net_engine::IHttpHandleNotic {
public:
    void OnWebSocketData(const char* data, size_t length, int frameKind, void*) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back({std::string(data, length), frameKind});
        if (onMessage) onMessage(m_messages.back());
    }
    void OnProgress(const char*, const char*, double dlTotal, double dlNow, double, double, void*) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_progressCalls;
        m_lastDownloaded = dlNow;
    }
    void OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void*) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_results.push_back(result);
        m_status = handle->GetResponseCode();
        m_body = handle->GetResponse();
    }

    size_t ResultCount() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_results.size();
    }
    net_engine::HttpResult LastResult() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_results.back();
    }
    int Status() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_status;
    }
    std::string Body() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_body;
    }
    std::vector<Message> Messages() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    size_t MessageCount() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages.size();
    }
    int ProgressCalls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_progressCalls;
    }
    double LastDownloaded() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lastDownloaded;
    }
    // Called on the loop thread under the recorder's lock.
    std::function<void(const Message&)> onMessage;

private:
    std::mutex m_mutex;
    std::vector<net_engine::HttpResult> m_results;
    std::vector<Message> m_messages;
    int m_status = 0;
    std::string m_body;
    int m_progressCalls = 0;
    double m_lastDownloaded = 0;
};

// Deletes a handle through the engine and waits until it is reset.
inline void DeleteHandle(const std::shared_ptr<net_engine::INetEngine>& engine,
                         const std::shared_ptr<net_engine::IHttpHandleInterface>& handle) {
    std::atomic<int> result{1};
    ASSERT_EQ(engine->DelHttpReq(handle, true, [&](std::shared_ptr<net_engine::IHttpHandleInterface>, void*, int r) {
        result = r;
    }, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return result.load() != 1; }));
    // The callback comes just before the reset: let the loop finish it.
    OnLoop(engine, [] {});
}

}  // namespace engine_test
