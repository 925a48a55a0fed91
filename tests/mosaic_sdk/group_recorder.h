#pragma once
// Notification targets for the group tests: the group's notic records what
// arrives; the main phone's notic records play results.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mosaic_sdk/mosaic_sdk.h"

namespace mosaic_test {

// Bounded wait on a condition; the bound is a safety net for loaded machines.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 30000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

struct GCError {
    int type = 0;
    int code = 0;
    size_t count = 0;
};

class GroupRecorder : public mosaic_sdk::IPicGCNotic {
public:
    void OnErrorNotic(int code, const char* msg, void* userData) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_errors.emplace_back(code, msg ? msg : "");
        m_userData = userData;
    }
    void OnGCErrorNotic(mosaic_sdk::EErrorType type, int code, const char* msg,
                        const mosaic_sdk::InstanceErrorInfo* infos, size_t count, void* userData) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_gcErrors.push_back({static_cast<int>(type), code, count});
    }
    void OnQueryInstanceStatus(const char* mainInstanceNo, const mosaic_sdk::InstanceStatusInfo* infos, size_t count,
                               void* userData) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_main = mainInstanceNo ? mainInstanceNo : "";
        m_table.assign(infos, infos + count);
    }
    void OnQueryNodeStatus(const mosaic_sdk::NodeStatusInfo* infos, size_t count, void* userData) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_nodes.assign(infos, infos + count);
            m_nodeThread = std::this_thread::get_id();
            ++m_nodeNotices;
        }
        if (duringNodeStatus) duringNodeStatus();
    }
    void OnPicUrlNotic(mosaic_sdk::PicInfo* infos, size_t count, void* userData) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_urlNotices;
        m_urls.assign(infos, infos + count);
    }
    void OnPicData(const char* instanceNo, const char* data, size_t length, void* userData) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pictures[instanceNo].emplace_back(data, length);
    }

    std::vector<std::pair<int, std::string>> Errors() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errors;
    }
    int CountCode(int code) const {
        int n = 0;
        for (auto& e : Errors()) n += e.first == code;
        return n;
    }
    void* UserData() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_userData;
    }
    std::vector<GCError> GCErrors() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_gcErrors;
    }
    std::vector<mosaic_sdk::InstanceStatusInfo> Table(std::string* main = nullptr) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (main) *main = m_main;
        return m_table;
    }
    std::vector<mosaic_sdk::NodeStatusInfo> Nodes(std::thread::id* thread = nullptr, int* notices = nullptr) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (thread) *thread = m_nodeThread;
        if (notices) *notices = m_nodeNotices;
        return m_nodes;
    }
    int UrlNotices() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_urlNotices;
    }
    std::vector<mosaic_sdk::PicInfo> Urls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_urls;
    }
    std::map<std::string, std::vector<std::string>> Pictures() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_pictures;
    }
    size_t PictureCount() const {
        size_t n = 0;
        for (auto& p : Pictures()) n += p.second.size();
        return n;
    }

    // Runs inside OnQueryNodeStatus, after the record; set before the SDK is started.
    std::function<void()> duringNodeStatus;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<int, std::string>> m_errors;
    void* m_userData = nullptr;
    std::vector<GCError> m_gcErrors;
    std::string m_main;
    std::vector<mosaic_sdk::InstanceStatusInfo> m_table;
    std::vector<mosaic_sdk::NodeStatusInfo> m_nodes;
    std::thread::id m_nodeThread;
    int m_nodeNotices = 0;
    int m_urlNotices = 0;
    std::vector<mosaic_sdk::PicInfo> m_urls;
    std::map<std::string, std::vector<std::string>> m_pictures;
};

class MainPhoneRecorder : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int code, const char* msg) override {}
    void OnSessionError(int code, const char* msg) override {}
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        if (code == 0) ++plays;
    }
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override {}
    std::atomic<int> plays{0};
};

}  // namespace mosaic_test
