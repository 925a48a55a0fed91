#pragma once
// The hub's notification target for tests: records statuses and counts media.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "data_hub/data_hub.h"

namespace hub_test {

inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class HubRecorder : public data_hub::IDataHubNotic {
public:
    void OnStatus(int code, const char* msg) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.emplace_back(code, msg ? msg : "");
    }
    void OnSessionError(int code, const char* msg) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sessionErrors.emplace_back(code, msg ? msg : "");
    }
    void OnPlayRes(int code, const char*, int, int, int, int width, int height, int, int sampleRate,
                   int channels) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_play = {code, width, height, sampleRate, channels};
        ++m_playResults;
    }
    void OnVideoData(uint64_t, uint64_t, const uint8_t*, uint32_t length) override {
        if (length > 0) ++videoPackages;
    }
    void OnAudioData(const uint8_t*, uint32_t length) override {
        if (length > 0) ++audioPackages;
    }

    int CountStatus(int code) {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (auto& s : m_statuses) n += s.first == code;
        return n;
    }
    std::vector<std::pair<int, std::string>> Statuses() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_statuses;
    }
    std::vector<std::pair<int, std::string>> SessionErrors() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sessionErrors;
    }
    int PlayResults() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_playResults;
    }
    std::vector<int> Play() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_play;
    }

    std::atomic<int> videoPackages{0};
    std::atomic<int> audioPackages{0};

private:
    std::mutex m_mutex;
    std::vector<std::pair<int, std::string>> m_statuses;
    std::vector<std::pair<int, std::string>> m_sessionErrors;
    std::vector<int> m_play;
    int m_playResults = 0;
};

}  // namespace hub_test
