#pragma once
// The in-house SDK's notifications for one device view. They arrive on SDK
// threads; the installed callbacks are the channel's, which move the work
// to the GUI thread.
#include <functional>
#include <mutex>

#include "handset_sdk/handset_sdk.h"

namespace app {

class CQVSinglePhoneNotic : public handset_sdk::IQVPhoneNotic {
public:
    struct Callbacks {
        std::function<void()> firstFrame;
        std::function<void(int rotation)> rotation;
        std::function<void(bool active)> inputActive;
        // The stream's picture size (first frame and every screen change).
        std::function<void(int width, int height)> streamSize;
    };

    void SetCallbacks(Callbacks callbacks);
    // No callback runs once this returns.
    void ClearCallbacks();

    void OnStatus(int code, const char* msg) override;
    void OnSessionError(int code, const char* msg) override;
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override;
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override;
    void OnCursor(bool shown) override;

private:
    std::mutex m_mutex;
    Callbacks m_callbacks;
};

// The main phone's notifications of a group window: the same events, with
// the stream size as well.
using CQVPhoneNotic = CQVSinglePhoneNotic;

}  // namespace app
