#include "device/kovra_listeners.h"

#include <QDebug>

#include <cstdio>

#include "device/gui_relay.h"

namespace app {
namespace {
void Print(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}
}  // namespace

void MySWDataSourceListener::onConnected() {
    Print("onConnected");
    ReportConnection(true);
}
void MySWDataSourceListener::onDisconnected() {
    Print("onDisconnected");
    ReportConnection(false);
}
void MySWDataSourceListener::onReconnecting() { Print("onReconnecting"); }

void MySWDataSourceListener::ReportConnection(bool connected) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_connectionCallback) {
        std::function<void(bool)> callback = m_connectionCallback;
        m_relay->Post([callback, connected] { callback(connected); });
    }
}

void MySWDataSourceListener::SetConnectionCallback(std::function<void(bool)> callback) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connectionCallback = std::move(callback);
}

void MySWDataSourceListener::onOutputCursor(int code) {
    qInfo().noquote() << "onOutputCursor:" << code;
    if (code == kCursorShown) {
        m_inputActive = true;
    } else if (code == kCursorHidden) {
        m_inputActive = false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callback) {
        qInfo().noquote() << "onOutputCursor2:" << m_inputActive.load();
        const bool active = m_inputActive;
        std::function<void(bool)> callback = m_callback;
        m_relay->Post([callback, active] { callback(active); });
    }
}

void MySWDataSourceListener::SetInputActiveCallback(std::function<void(bool)> callback) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callback = std::move(callback);
}

}  // namespace app
