#pragma once
// A group's links: the group SDK playing its main phone in out mode and
// controlling the followers through two group-control nodes.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "mosaic_sdk/mosaic_sdk.h"

namespace soak {

class GroupNotic : public mosaic_sdk::IPicGCNotic {
public:
    void OnErrorNotic(int code, const char* msg, void* userData) override {
        if (code == 0) ++started;
        else ++errors;
    }
    void OnGCErrorNotic(mosaic_sdk::EErrorType type, int code, const char* msg,
                        const mosaic_sdk::InstanceErrorInfo* infos, size_t count, void* userData) override {
        ++nodeErrors;
    }
    std::atomic<int> started{0};
    std::atomic<int> errors{0};
    std::atomic<int> nodeErrors{0};
};

class MainPhoneNotic : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int code, const char* msg) override {}
    void OnSessionError(int code, const char* msg) override {}
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        if (code == 0) ++plays;
    }
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override {}
    void OnVideoFrame(const uint8_t* data, int size, int width, int height) override { ++frames; }
    std::atomic<int> plays{0};
    std::atomic<int> frames{0};
};

class GroupLink {
public:
    // phones: the main phone first.
    GroupLink(std::string baseUrl, std::vector<std::string> phones)
        : m_baseUrl(std::move(baseUrl)), m_phones(std::move(phones)) {}
    ~GroupLink() { Close(); }

    // Init, Start, the start's success, the main phone playing and StartOut; "" or what failed.
    std::string Open(int reconnectIntervalMs);
    void Close();
    int Send(const std::string& text);

    const GroupNotic& Notic() const { return *m_notic; }
    const MainPhoneNotic& MainNotic() const { return *m_mainNotic; }

private:
    const std::string m_baseUrl;
    const std::vector<std::string> m_phones;
    std::shared_ptr<GroupNotic> m_notic = std::make_shared<GroupNotic>();
    std::shared_ptr<MainPhoneNotic> m_mainNotic = std::make_shared<MainPhoneNotic>();
    std::shared_ptr<mosaic_sdk::IMosaicSdk> m_sdk;
};

}  // namespace soak
