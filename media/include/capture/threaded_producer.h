#pragma once
// A producer whose capture loop runs on a thread of its own while anybody is
// attached: the first Attach opens the device and starts the loop, the last
// Detach stops it and the device closes. Camera and microphone producers
// derive from it and fill in the three device steps.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "capture/capture_notify.h"

namespace capture {

class CAPTURE_API CThreadedProducer : public CCaptureProducer {
public:
    ~CThreadedProducer() override;

    // -1 (and LastError) when the device cannot be opened.
    int Attach(std::weak_ptr<ICaptureNotify> notify) override;
    void Detach(const ICaptureNotify* notify) override;

    // Why the device could not be opened or was lost; "" when it runs.
    std::string LastError() const;
    // The capture loop runs (the device is open).
    bool Running() const { return m_running.load(); }

protected:
    explicit CThreadedProducer(emCAPTURE_TYPE type);

    // Capture thread: open the device (false with error filled when it cannot),
    // wait for one frame and Deliver it (false when the device is lost), close it.
    virtual bool OpenDevice(std::string& error) = 0;
    virtual bool CaptureNext(const std::atomic<bool>& stop) = 0;
    virtual void CloseDevice() = 0;

    // Every derived destructor calls this first, while its device steps still exist.
    void Shutdown();

private:
    void Loop();
    void SetError(const std::string& error);

    std::mutex m_lifeMutex;  // starting and joining the thread
    std::thread m_thread;
    std::atomic<std::thread::id> m_captureThread{};
    std::atomic<bool> m_stop{false};
    // The loop's "nobody is attached, end" decision and Attach's "the loop
    // runs, keep it" decision are taken under this mutex, so neither is lost.
    std::mutex m_exitMutex;
    std::atomic<bool> m_running{false};
    mutable std::mutex m_errorMutex;
    std::string m_error;
};

}  // namespace capture
