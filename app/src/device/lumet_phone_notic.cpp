#include "device/lumet_phone_notic.h"

#include <QDebug>

#include <cstdio>

namespace app {

void CQVSinglePhoneNotic::SetCallbacks(Callbacks callbacks) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callbacks = std::move(callbacks);
}

void CQVSinglePhoneNotic::ClearCallbacks() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callbacks = Callbacks();
}

void CQVSinglePhoneNotic::OnStatus(int code, const char* msg) {
    std::printf("OnStatus %d %s\n", code, msg ? msg : "");
    std::fflush(stdout);
}

void CQVSinglePhoneNotic::OnSessionError(int code, const char* msg) {
    std::printf("OnSessionError %d %s\n", code, msg ? msg : "");
    std::fflush(stdout);
}

void CQVSinglePhoneNotic::OnPlayRes(int code, const char* msg, int, int, int, int width, int height, int, int,
                                    int) {
    std::fputs("8\r\n", stdout);
    std::fflush(stdout);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (code == 0 && m_callbacks.streamSize && width > 0 && height > 0) {
        m_callbacks.streamSize(width, height);
    }
    if (code == 0 && m_callbacks.firstFrame) {
        m_callbacks.firstFrame();
    }
}

void CQVSinglePhoneNotic::OnOutScreen(int width, int height, int, int, int rotation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.streamSize && width > 0 && height > 0) {
        m_callbacks.streamSize(width, height);
    }
    if (m_callbacks.rotation) {
        m_callbacks.rotation(rotation);
    }
}

void CQVSinglePhoneNotic::OnCursor(bool shown) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.inputActive) {
        m_callbacks.inputActive(shown);
    }
}

}  // namespace app
