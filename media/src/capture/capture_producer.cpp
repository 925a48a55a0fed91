#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/capture_notify.h"

namespace capture {

struct CCaptureProducer::State {
    mutable std::mutex listMutex;
    std::vector<std::weak_ptr<ICaptureNotify>> receivers;
    // Held for the whole of one delivery, so Detach can wait for it to end.
    std::mutex deliveryMutex;
    std::thread::id deliveringThread;  // guarded by listMutex
};

CCaptureProducer::CCaptureProducer(emCAPTURE_TYPE type) : m_type(type), m_state(std::make_unique<State>()) {}

CCaptureProducer::~CCaptureProducer() = default;

int CCaptureProducer::Attach(std::weak_ptr<ICaptureNotify> notify) {
    auto receiver = notify.lock();
    if (!receiver) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_state->listMutex);
    for (const auto& existing : m_state->receivers) {
        if (existing.lock() == receiver) {
            return 0;
        }
    }
    m_state->receivers.push_back(std::move(notify));
    return 0;
}

void CCaptureProducer::Detach(const ICaptureNotify* notify) {
    bool insideDelivery = false;
    {
        std::lock_guard<std::mutex> lock(m_state->listMutex);
        auto& list = m_state->receivers;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [notify](const std::weak_ptr<ICaptureNotify>& w) {
                                      auto p = w.lock();
                                      return !p || p.get() == notify;
                                  }),
                   list.end());
        insideDelivery = m_state->deliveringThread == std::this_thread::get_id();
    }
    if (!insideDelivery) {
        std::lock_guard<std::mutex> wait(m_state->deliveryMutex);  // a running delivery ends first
    }
}

int CCaptureProducer::Deliver(const CaptureFrame& frame) {
    // Declared first so that the receivers are released after the delivery
    // lock: a receiver's destructor may call Detach.
    std::vector<std::shared_ptr<ICaptureNotify>> targets;
    std::lock_guard<std::mutex> delivery(m_state->deliveryMutex);
    {
        std::lock_guard<std::mutex> lock(m_state->listMutex);
        for (const auto& w : m_state->receivers) {
            if (auto p = w.lock()) {
                targets.push_back(std::move(p));
            }
        }
        m_state->deliveringThread = std::this_thread::get_id();
    }
    int delivered = 0;
    for (const auto& target : targets) {
        {
            // A receiver detached by an earlier one in this round gets nothing.
            std::lock_guard<std::mutex> lock(m_state->listMutex);
            const bool still = std::any_of(m_state->receivers.begin(), m_state->receivers.end(),
                                           [&](const std::weak_ptr<ICaptureNotify>& w) {
                                               return w.lock() == target;
                                           });
            if (!still) {
                continue;
            }
        }
        target->OnCaptureFrame(&frame);
        ++delivered;
    }
    {
        std::lock_guard<std::mutex> lock(m_state->listMutex);
        m_state->deliveringThread = std::thread::id();
    }
    return delivered;
}

int CCaptureProducer::AttachedCount() const {
    std::lock_guard<std::mutex> lock(m_state->listMutex);
    return static_cast<int>(std::count_if(m_state->receivers.begin(), m_state->receivers.end(),
                                          [](const std::weak_ptr<ICaptureNotify>& w) { return !w.expired(); }));
}

}  // namespace capture
