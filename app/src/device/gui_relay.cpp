#include "device/gui_relay.h"

#include <QMetaObject>

namespace app {

GuiRelay::GuiRelay() : m_context(std::make_unique<QObject>()) {}

GuiRelay::~GuiRelay() { Close(); }

void GuiRelay::Post(std::function<void()> fn) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_context) {
        QMetaObject::invokeMethod(m_context.get(), std::move(fn), Qt::QueuedConnection);
    }
}

void GuiRelay::Close() {
    std::unique_ptr<QObject> context;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        context = std::move(m_context);
    }
}

}  // namespace app
