#include "link_harness.h"

#include <future>
#include <thread>

#include "base/base_log.h"

namespace fleet_link_test {

struct LogRecorder::State {
    mutable std::mutex mutex;
    std::vector<std::string> lines;
};

LogRecorder::LogRecorder() : m_state(std::make_shared<State>()) {
    auto log = base::IBaseLogInterface::GetLogInstance();
    int level = 0;
    bool console = false;
    log->SetLevel(&level);
    log->SetConsole(&console);
    log->Apply();
    std::weak_ptr<State> weak = m_state;
    base::SetLogCapture([weak](int, const std::string& line) {
        if (auto state = weak.lock()) {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->lines.push_back(line);
        }
    });
}

LogRecorder::~LogRecorder() { base::SetLogCapture(nullptr); }

size_t LogRecorder::Count(const std::string& part) const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    size_t n = 0;
    for (const std::string& line : m_state->lines) {
        if (line.find(part) != std::string::npos) ++n;
    }
    return n;
}

bool LogRecorder::WaitFor(const std::string& part, int timeoutMs) const {
    return WaitUntil([&] { return Has(part); }, timeoutMs);
}

std::vector<std::string> LogRecorder::Lines() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->lines;
}

void RecordingNotic::Add(NodeEvent event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

void RecordingNotic::OnNodeStatusNotic(int status, const char* nodeName, void* userData) {
    NodeEvent e;
    e.kind = "status";
    e.status = status;
    e.nodeName = nodeName ? nodeName : "";
    e.userData = userData;
    Add(std::move(e));
}

void RecordingNotic::OnNodeErrorNotic(fleet_link::EErrorType type, int code, const char* msg,
                                      const fleet_link::InstanceErrorInfo* infos, size_t count, const char* nodeName,
                                      void* userData) {
    NodeEvent e;
    e.kind = "error";
    e.errType = static_cast<int>(type);
    e.code = code;
    e.msg = msg ? msg : "(null)";
    if (infos) e.errors.assign(infos, infos + count);
    e.nodeName = nodeName ? nodeName : "";
    e.userData = userData;
    Add(std::move(e));
}

namespace {
NodeEvent Answer(const char* kind, int code, const char* msg, const char* nodeName, void* userData) {
    NodeEvent e;
    e.kind = kind;
    e.code = code;
    e.msg = msg ? msg : "(null)";
    e.nodeName = nodeName ? nodeName : "";
    e.userData = userData;
    return e;
}
}  // namespace

void RecordingNotic::OnStartControlRes(int code, const char* msg, const char* nodeName, void* userData) {
    Add(Answer("start", code, msg, nodeName, userData));
}

void RecordingNotic::OnAddInstanceRes(int code, const char* msg, const char* nodeName, void* userData) {
    Add(Answer("add", code, msg, nodeName, userData));
}

void RecordingNotic::OnReduceInstanceRes(int code, const char* msg, const char* nodeName, void* userData) {
    Add(Answer("reduce", code, msg, nodeName, userData));
}

void RecordingNotic::OnQueryInstanceStatusRes(int code, const char* msg, fleet_link::InstanceStateInfo* infos,
                                              size_t count, const char* nodeName, void* userData) {
    NodeEvent e = Answer("query", code, msg, nodeName, userData);
    if (infos) e.states.assign(infos, infos + count);
    Add(std::move(e));
}

void RecordingNotic::OnSwitchMainRes(int code, const char* msg, const char* nodeName, void* userData) {
    Add(Answer("switch", code, msg, nodeName, userData));
}

std::vector<NodeEvent> RecordingNotic::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<int> RecordingNotic::Statuses() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<int> list;
    for (const NodeEvent& e : m_events) {
        if (e.kind == "status") list.push_back(e.status);
    }
    return list;
}

size_t RecordingNotic::CountOf(const std::string& kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const NodeEvent& e : m_events) {
        if (e.kind == kind) ++n;
    }
    return n;
}

bool RecordingNotic::WaitUntil(const std::function<bool()>& condition, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

bool RecordingNotic::WaitForCount(const std::string& kind, size_t count, int timeoutMs) const {
    return WaitUntil([&] { return CountOf(kind) >= count; }, timeoutMs);
}

bool RecordingNotic::WaitForStatus(int status, size_t n, int timeoutMs) const {
    return WaitUntil(
        [&] {
            size_t seen = 0;
            for (int s : Statuses()) {
                if (s == status) ++seen;
            }
            return seen >= n;
        },
        timeoutMs);
}

EngineHarness::EngineHarness() : m_engine(net_engine::INetEngine::Create()) {
    m_engine->Init(nullptr, nullptr);
    m_engine->Start();
}

EngineHarness::~EngineHarness() { m_engine->Stop(false); }

bool EngineHarness::Barrier(uint64_t delayMs) const {
    auto fired = std::make_shared<std::promise<void>>();
    auto future = fired->get_future();
    auto once = std::make_shared<std::once_flag>();
    auto timer = net_engine::ITimerHandleInterface::Create(
        [fired, once](std::shared_ptr<net_engine::ITimerHandleInterface>, void*) {
            std::call_once(*once, [&] { fired->set_value(); });
        },
        nullptr, delayMs, 0, nullptr);
    if (m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) return false;
    bool ok = future.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    m_engine->DelTimerReq(timer, false, nullptr, nullptr);
    return ok;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace fleet_link_test
