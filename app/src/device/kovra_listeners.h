#pragma once
// The vendor SDK's listeners of a Kovra device view. Their events arrive on
// the SDK's network thread; what touches widgets is posted to the GUI thread.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "swplay_u/sw_data_source.h"
#include "swplay_u/video_display.h"

namespace app {

class GuiRelay;

class MySWDataSourceListener : public swplay_u::SWDataSourceListener {
public:
    explicit MySWDataSourceListener(std::shared_ptr<GuiRelay> relay) : m_relay(std::move(relay)) {}

    void onConnected() override;
    void onDisconnected() override;
    void onReconnecting() override;
    void onOutputCursor(int code) override;

    bool InputActive() const { return m_inputActive; }
    // Called on the GUI thread with the new input-active flag.
    void SetInputActiveCallback(std::function<void(bool)> callback);
    // Called on the GUI thread when the stream connects (true) or drops (false).
    void SetConnectionCallback(std::function<void(bool)> callback);

private:
    void ReportConnection(bool connected);

    std::shared_ptr<GuiRelay> m_relay;
    std::atomic<bool> m_inputActive{false};
    std::mutex m_mutex;
    std::function<void(bool)> m_callback;
    std::function<void(bool)> m_connectionCallback;
};

class KovraDisplaySizeListener : public swplay_u::SWDisplaySizeListener {
public:
    explicit KovraDisplaySizeListener(std::function<void(int)> onRotation) : m_onRotation(std::move(onRotation)) {}
    void onScreenRotation(int rotation) override { m_onRotation(rotation); }

private:
    std::function<void(int)> m_onRotation;
};

}  // namespace app
