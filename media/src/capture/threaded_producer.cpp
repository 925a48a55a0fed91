#include "capture/threaded_producer.h"

namespace capture {

CThreadedProducer::CThreadedProducer(emCAPTURE_TYPE type) : CCaptureProducer(type) {}

CThreadedProducer::~CThreadedProducer() { Shutdown(); }

void CThreadedProducer::Shutdown() {
    std::lock_guard<std::mutex> life(m_lifeMutex);
    m_stop = true;
    if (!m_thread.joinable()) return;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        m_thread.detach();
    } else {
        m_thread.join();
    }
}

std::string CThreadedProducer::LastError() const {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_error;
}

void CThreadedProducer::SetError(const std::string& error) {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_error = error;
}

int CThreadedProducer::Attach(std::weak_ptr<ICaptureNotify> notify) {
    auto receiver = notify.lock();
    if (!receiver) return -1;
    std::lock_guard<std::mutex> life(m_lifeMutex);
    if (CCaptureProducer::Attach(notify) != 0) return -1;
    {
        std::lock_guard<std::mutex> exit(m_exitMutex);
        if (m_running) return 0;  // the loop runs and now sees this receiver
    }
    if (m_thread.joinable()) m_thread.join();  // a loop that ended by itself
    std::string error;
    if (!OpenDevice(error)) {
        SetError(error.empty() ? "the capture device cannot be opened" : error);
        CCaptureProducer::Detach(receiver.get());
        return -1;
    }
    SetError("");
    m_stop = false;
    m_running = true;
    try {
        m_thread = std::thread(&CThreadedProducer::Loop, this);
    } catch (...) {
        m_running = false;
        CloseDevice();
        CCaptureProducer::Detach(receiver.get());
        SetError("the capture thread cannot start");
        return -1;
    }
    return 0;
}

void CThreadedProducer::Detach(const ICaptureNotify* notify) {
    if (std::this_thread::get_id() == m_captureThread.load()) {
        // Inside a delivery: the loop ends by itself once nobody is attached.
        CCaptureProducer::Detach(notify);
        return;
    }
    std::lock_guard<std::mutex> life(m_lifeMutex);
    CCaptureProducer::Detach(notify);  // waits for a running delivery
    if (AttachedCount() > 0 || !m_thread.joinable()) return;
    m_stop = true;
    m_thread.join();  // the device is closed when this returns
}

void CThreadedProducer::Loop() {
    m_captureThread = std::this_thread::get_id();
    while (!m_stop) {
        {
            std::lock_guard<std::mutex> exit(m_exitMutex);
            if (AttachedCount() == 0) {
                m_running = false;
                break;
            }
        }
        if (!CaptureNext(m_stop)) {
            SetError("the capture device stopped delivering");
            break;
        }
    }
    {
        std::lock_guard<std::mutex> exit(m_exitMutex);
        m_running = false;
    }
    CloseDevice();
    m_captureThread = std::thread::id();
}

}  // namespace capture
