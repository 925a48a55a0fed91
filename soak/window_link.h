#pragma once
// A playing window's stream: the handset SDK playing one phone of the local
// cloud in out mode (frames handed out, no window system needed). Counts the
// play results and disconnections the SDK reports.
#include <atomic>
#include <memory>
#include <string>

#include "handset_sdk/handset_sdk.h"
#include "soak_wait.h"

namespace soak {

class WindowNotic : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int code, const char* msg) override;
    void OnSessionError(int code, const char* msg) override { ++sessionErrors; }
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override;
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override {}
    void OnVideoFrame(const uint8_t* data, int size, int width, int height) override { ++frames; }

    std::atomic<int> plays{0};          // play results with code 0
    std::atomic<int> failedPlays{0};
    std::atomic<int> disconnects{0};    // "stream link disconnected" statuses
    std::atomic<int> otherStatuses{0};  // failure codes other than the link's own
    std::atomic<int> sessionErrors{0};
    std::atomic<int> frames{0};
    std::atomic<int64_t> lastPlayNs{0};
};

class WindowLink {
public:
    WindowLink(std::string baseUrl, std::string instanceNo) : m_baseUrl(std::move(baseUrl)), m_instanceNo(std::move(instanceNo)) {}
    ~WindowLink() { Close(); }

    // Init, Start, the first play result and StartOut; "" or what failed.
    std::string Open(int reconnectIntervalMs);
    void Close();
    int Send(const std::string& text);

    const std::string& InstanceNo() const { return m_instanceNo; }
    const WindowNotic& Notic() const { return *m_notic; }

private:
    const std::string m_baseUrl;
    const std::string m_instanceNo;
    std::shared_ptr<WindowNotic> m_notic = std::make_shared<WindowNotic>();
    std::shared_ptr<handset_sdk::IHandsetSdk> m_sdk;
};

}  // namespace soak
