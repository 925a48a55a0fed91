#pragma once
// Shared pieces of the engine benchmark: rates, the result line, a started
// engine, and a counter one thread can wait on.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net_engine/net_engine.h"

namespace bench {

using Clock = std::chrono::steady_clock;

// A figure is cut short after this long; the rate then covers what was done.
constexpr std::chrono::seconds kFigureCap{8};

struct Rate {
    size_t done = 0;
    double seconds = 0;
    double PerSecond() const { return seconds > 0 ? done / seconds : 0; }
};

class Stopwatch {
public:
    Stopwatch() : m_start(Clock::now()) {}
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

private:
    Clock::time_point m_start;
};

// Each figure is measured in this many rounds, each round the engine and then
// the baseline, so that a burst of load from elsewhere on the machine lands in
// one round rather than deciding the figure.
constexpr int kRounds = 5;

// The rounds of one figure.
class Figure {
public:
    void Add(const Rate& engine, const Rate& baseline);
    // Prints "<name>: engine <x>/s baseline <y>/s ratio <r> (median of <n> rounds)":
    // x and y are the medians of the two sides' rates, r the median of the
    // rounds' ratios.
    void Print(const std::string& name) const;

private:
    std::vector<double> m_engine, m_baseline, m_ratios;
};

// Counts events from any thread; one waiter at a time blocks until its target is reached.
class Counter {
public:
    void Add(size_t n = 1);
    size_t Get() const;
    void Reset();
    // False when the deadline passed first.
    bool WaitFor(size_t target, Clock::time_point deadline) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    size_t m_count = 0;
    mutable bool m_waiting = false;  // a WaitFor runs
    mutable size_t m_target = 0;     // its target
};

struct FrameStop : net_engine::IHttpNotic {
    void OnFrameStop(std::shared_ptr<net_engine::INetEngine>, void*) override {}
};

// A started engine, or nullptr.
std::shared_ptr<net_engine::INetEngine> StartEngine();

// Runs DelHttpReq and waits for its callback (bounded).
void RemoveHandle(const std::shared_ptr<net_engine::INetEngine>& engine,
                  const std::shared_ptr<net_engine::IHttpHandleInterface>& handle);

std::string Bytes(size_t n);

}  // namespace bench
