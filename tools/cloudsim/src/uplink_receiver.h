#pragma once
// The phone's end of the camera and microphone uplink: takes the client's
// parameter and data packages, decodes the H.264 pictures and the Opus sound,
// and keeps what a screen shows and tests read. Thread-safe.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <json/value.h>

#include "cloudsim/uplink_view.h"

namespace cloudsim {

class UplinkReceiver {
public:
    static constexpr size_t kMaxSizes = 2000;

    UplinkReceiver();
    ~UplinkReceiver();
    UplinkReceiver(const UplinkReceiver&) = delete;
    UplinkReceiver& operator=(const UplinkReceiver&) = delete;

    // One client package of type 3010 to 3013 (others are ignored), with the
    // values its record holds.
    void OnPackage(uint32_t type, const uint8_t* body, size_t length, const Json::Value& fields);

    void CameraParam(int format, int width, int height, int blobLength);
    void CameraData(const uint8_t* data, size_t length);
    void MicParam(int sampleRate, int channels, int samples);
    void MicData(const uint8_t* data, size_t length);

    UplinkView View() const;
    // Grows with every change a screen shows.
    uint64_t Version() const;

private:
    struct Decoders;
    void Analyse(const int16_t* pcm, int samples, int channels, int sampleRate);

    mutable std::mutex m_mutex;
    UplinkView m_view;
    uint64_t m_version = 0;
    std::unique_ptr<Decoders> m_decoders;
    std::vector<float> m_window;  // the last half second of the first channel
};

}  // namespace cloudsim
