#include "swplay_u/sw_player.h"

#include <atomic>

#include "stream_session.h"
#include "swplay_u/sw_data_source.h"
#include "swplay_u/sw_runtime.h"

namespace swplay_u {
namespace {
std::atomic<int> g_nextPlayerId{1};
}

SWPlayer::SWPlayer() : m_id(g_nextPlayerId.fetch_add(1)) {}

SWPlayer::~SWPlayer() { stop(); }

int SWPlayer::setDataSource(SWDataSource* source) {
    if (m_started) return -1;
    m_source = source;
    return 0;
}

int SWPlayer::setDisplay(VideoDisplayWinBase* display) {
    if (m_started) return -1;
    m_display = display;
    return 0;
}

int SWPlayer::start() {
    if (m_started || !m_source || !m_display || !SWRuntime::GetInstance()->isInitialised()) {
        return -1;
    }
    if (m_source->session()->Start(m_display) != 0) {
        return -1;
    }
    m_started = true;
    return 0;
}

void SWPlayer::stop() {
    if (m_started && m_source) {
        m_source->session()->Stop();
    }
    m_started = false;
}

}  // namespace swplay_u
