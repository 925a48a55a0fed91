#include "bench_support.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

void Figure::Add(const Rate& engine, const Rate& baseline) {
    const double x = engine.PerSecond(), y = baseline.PerSecond();
    m_engine.push_back(x);
    m_baseline.push_back(y);
    m_ratios.push_back(y > 0 ? x / y : 0.0);
}

void Figure::Print(const std::string& name) const {
    std::printf("%s: engine %.0f/s baseline %.0f/s ratio %.3f (median of %zu rounds)\n", name.c_str(),
                Median(m_engine), Median(m_baseline), Median(m_ratios), m_ratios.size());
    // Each round as "ratio (engine/baseline)", rates in thousands per second.
    std::printf("  rounds:");
    for (size_t i = 0; i < m_ratios.size(); ++i)
        std::printf(" %.2f (%.1f/%.1f)", m_ratios[i], m_engine[i] / 1000, m_baseline[i] / 1000);
    std::printf("\n");
    std::fflush(stdout);
}

void Counter::Add(size_t n) {
    bool reached = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_count += n;
        reached = m_waiting && m_count >= m_target;
    }
    // Only a waiter whose target is reached is woken: a wake-up per event
    // would cost the measured thread a system call and a context switch
    // that the plain client does not pay.
    if (reached) m_cv.notify_all();
}

size_t Counter::Get() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

void Counter::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_count = 0;
}

bool Counter::WaitFor(size_t target, Clock::time_point deadline) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_waiting = true;
    m_target = target;
    const bool reached = m_cv.wait_until(lock, deadline, [&] { return m_count >= target; });
    m_waiting = false;
    return reached;
}

std::shared_ptr<net_engine::INetEngine> StartEngine() {
    auto engine = net_engine::INetEngine::Create();
    if (engine->Init(std::make_shared<FrameStop>(), nullptr) != 0 || engine->Start() != 0) return nullptr;
    return engine;
}

void RemoveHandle(const std::shared_ptr<net_engine::INetEngine>& engine,
                  const std::shared_ptr<net_engine::IHttpHandleInterface>& handle) {
    auto removed = std::make_shared<Counter>();
    if (engine->DelHttpReq(handle, true,
                           [removed](std::shared_ptr<net_engine::IHttpHandleInterface>, void*, int) { removed->Add(); },
                           nullptr) == 0)
        removed->WaitFor(1, Clock::now() + std::chrono::seconds(5));
}

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 131 + 7);
    return s;
}

}  // namespace bench
