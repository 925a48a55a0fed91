#include "loop_spin.h"

namespace net_engine {

int LoopSpin::Init(uv_loop_t* loop) {
    int rc = uv_idle_init(loop, &m_idle);
    if (rc != 0) return rc;
    m_idle.data = this;
    m_open = true;
    return 0;
}

void LoopSpin::NoteActivity() {
    if (!m_open) return;
    m_lastActivityNs = uv_hrtime();
    // An active idle handle makes each loop turn poll with a zero time-out.
    if (!uv_is_active(reinterpret_cast<uv_handle_t*>(&m_idle))) uv_idle_start(&m_idle, &LoopSpin::OnIdle);
}

void LoopSpin::OnIdle(uv_idle_t* idle) {
    auto* spin = static_cast<LoopSpin*>(idle->data);
    if (uv_hrtime() - spin->m_lastActivityNs > kWindowNs) uv_idle_stop(idle);
}

void LoopSpin::Close() {
    if (!m_open) return;
    m_open = false;
    uv_handle_t* handle = reinterpret_cast<uv_handle_t*>(&m_idle);
    if (!uv_is_closing(handle)) uv_close(handle, nullptr);
}

}  // namespace net_engine
