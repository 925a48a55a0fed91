#pragma once
// The SDK's notification target for tests: records what arrives, keeps the
// newest decoded picture.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "handset_sdk/handset_sdk.h"

namespace handset_test {

inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 15000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

struct PlayResult {
    int code = -1;
    std::string msg;
    int videoCodec = 0, width = 0, height = 0, audioCodec = 0, sampleRate = 0, channels = 0;
};

struct Picture {
    std::vector<uint8_t> data;
    int width = 0;
    int height = 0;
};

class PhoneRecorder : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int code, const char* msg) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.emplace_back(code, msg ? msg : "");
    }
    void OnSessionError(int code, const char* msg) override {}
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_plays.push_back({code, msg ? msg : "", videoCodec, width, height, audioCodec, sampleRate, channels});
    }
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_screens.push_back({width, height, rotation});
    }
    void OnCursor(bool shown) override { cursor = shown ? 1 : 0; }
    void OnVideoFrame(const uint8_t* data, int size, int width, int height) override {
        if (onFrame) onFrame();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_picture.data.assign(data, data + size);
        m_picture.width = width;
        m_picture.height = height;
        ++m_frames;
        if (width != m_expectWidth || height != m_expectHeight) ++m_wrongSizeFrames;
    }
    void OnAudioFrame(const uint8_t* pcm, int size, int sampleRate, int channels) override {
        if (size > 0 && sampleRate == 48000 && channels == 2) ++audioFrames;
    }
    void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_cameraSwitches.push_back({type, on ? 1 : 0, width, height});
        }
        if (onCamera) onCamera(on);
    }
    void OnOutMic(bool on, int samples) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_micSwitches.emplace_back(on, samples);
        }
        if (onMic) onMic(on);
    }
    void OnVideoSizeChange(int width, int height) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sizeChanges.emplace_back(width, height);
        m_expectWidth = width;
        m_expectHeight = height;
    }

    std::vector<std::pair<int, std::string>> Statuses() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_statuses;
    }
    int CountStatus(int code) {
        int n = 0;
        for (auto& s : Statuses()) n += s.first == code;
        return n;
    }
    std::vector<PlayResult> Plays() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_plays;
    }
    std::vector<std::pair<int, int>> SizeChanges() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sizeChanges;
    }
    std::vector<std::vector<int>> Screens() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_screens;
    }
    int Frames() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames;
    }
    // Frames whose size was not the size announced last (720 x 1280 at first).
    int WrongSizeFrames() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_wrongSizeFrames;
    }
    Picture LastPicture() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_picture;
    }

    // Camera switches as (type, on, width, height); microphone switches as (on, samples).
    std::vector<std::vector<int>> CameraSwitches() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cameraSwitches;
    }
    std::vector<std::pair<bool, int>> MicSwitches() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_micSwitches;
    }

    std::atomic<int> audioFrames{0};
    std::atomic<int> cursor{-1};
    std::function<void()> onFrame;  // set before frames flow
    // Called on the stream link's thread after the switch was recorded; set before playing.
    std::function<void(bool on)> onCamera;
    std::function<void(bool on)> onMic;

private:
    std::mutex m_mutex;
    std::vector<std::pair<int, std::string>> m_statuses;
    std::vector<PlayResult> m_plays;
    std::vector<std::vector<int>> m_screens;
    std::vector<std::vector<int>> m_cameraSwitches;
    std::vector<std::pair<bool, int>> m_micSwitches;
    std::vector<std::pair<int, int>> m_sizeChanges;
    Picture m_picture;
    int m_frames = 0;
    int m_wrongSizeFrames = 0;
    int m_expectWidth = 720;
    int m_expectHeight = 1280;
};

}  // namespace handset_test
