// Reconnect soak: a playing window's stream link and a group's two node links
// are dropped by the local cloud again and again (close frames, cut TCP
// connections, refusals of a few seconds) while numbered input flows every
// 50 ms. Afterwards every drop must have been recovered, the input sent while
// a link was up must have arrived once and in order, and the process must
// hold about the threads, files and memory it held after the first recovery.
//
//   SOAK_DROPS        drops of each link (default 100)
//   SOAK_REFUSAL_MS   length of a refusal (default 2000)
//   SOAK_INPUT_MS     input period (default 50)
//
// Exit status 0 when every check held.
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "fault_round.h"
#include "group_link.h"
#include "input_ledger.h"
#include "input_pacer.h"
#include "log_watch.h"
#include "process_figures.h"
#include "recovery_stats.h"
#include "soak_cloud.h"
#include "soak_wait.h"
#include "window_link.h"

namespace soak {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // its quarantine holds freed memory: resident size is not compared
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr uint32_t kWindowLink = 1;
constexpr uint32_t kMainLink = 1;  // the group's main phone plays its own stream, never dropped
constexpr uint32_t kNodeALink = 2;
constexpr uint32_t kNodeBLink = 4;
constexpr int kInputsPerRound = 10;      // inputs each link carries between recovery and the next fault
constexpr int kRecoveryBoundMs = 60000;  // a recovery taking this long counts as failed
constexpr int kArrivalBoundMs = 30000;
constexpr int kSettleBoundMs = 30000;
constexpr double kResourcePercent = 5.0;

int EnvInt(const char* name, int fallback, int min) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    const int value = std::atoi(text);
    return value < min ? min : value;
}

std::string NodeLine(const char* node, const char* what) {
    return std::string("[MOSAIC_SDK]QV Pic GC node [") + node + "] " + what;
}

double SecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

class SoakRun {
public:
    SoakRun()
        : m_drops(EnvInt("SOAK_DROPS", 100, 1)),
          m_refusalMs(EnvInt("SOAK_REFUSAL_MS", 2000, 100)),
          m_inputMs(EnvInt("SOAK_INPUT_MS", 50, 5)),
          m_watch({NodeLine(kNodeA, "connected"), NodeLine(kNodeB, "connected"), NodeLine(kNodeA, "disconnected"),
                   NodeLine(kNodeB, "disconnected")}) {}

    int Run();

private:
    std::string SetUp();
    void TearDown();
    std::string WaitInputsFlowing();
    void CheckArrivals();
    std::string RunRound(int round);
    bool ResourcesBack(const ProcessFigures& now) const;
    void Fail(const std::string& what) {
        std::printf("FAIL: %s\n", what.c_str());
        m_failures.push_back(what);
    }

    const int m_drops;
    const int m_refusalMs;
    const int m_inputMs;
    LogWatch m_watch;
    SoakCloud m_cloud;
    std::unique_ptr<WindowLink> m_window;
    std::unique_ptr<GroupLink> m_group;
    InputLedger m_windowInput{"w"};
    InputLedger m_groupInput{"g"};
    std::atomic<uint32_t> m_windowArmed{0};
    std::atomic<uint32_t> m_groupArmed{0};
    uint64_t m_windowArmedAt = 0;  // ledger numbers when the links were last all up
    uint64_t m_groupArmedAt = 0;
    int m_windowFramesAtRecovery = 0;  // pictures the window had decoded when it played again
    std::vector<PhoneCheck> m_phones;
    std::unique_ptr<InputPacer> m_pacer;
    RecoveryStats m_stats;
    int m_dropsOfKind[kFaultKinds] = {};  // rounds applied, by kind
    int m_nodeStops = 0;                  // refusal rounds that stopped the nodes
    bool m_haveBaseline = false;
    ProcessFigures m_baseline;
    std::vector<std::string> m_failures;
    std::string m_folder;  // the SDK logs; removed after a run that passed
};

std::string SoakRun::SetUp() {
    char folder[] = "/tmp/reconnect_soak_XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) return "no working folder";
    m_folder = folder;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QvLogParam log{};
    log.level = 20;
    std::snprintf(log.directory, sizeof log.directory, "%s/QVLog", folder);
    std::strcpy(log.name, "SOAK");
    log.fileSizeKb = 4096;
    log.fileCount = 2;
    mosaic_sdk::IMosaicSdk::SetLogParam(&log);
    // The SDK's warnings go to the log file only; the console keeps the progress lines.
    const bool console = false;
    base::IBaseLogInterface::GetLogInstance()->SetConsole(&console);
    base::IBaseLogInterface::GetLogInstance()->Apply();
    base::SetLogCapture([this](int level, const std::string& line) { m_watch.OnLine(level, line); });
    std::printf("soak: %d drops of each link, refusals of %d ms, input every %d ms, working folder %s\n", m_drops,
                m_refusalMs, m_inputMs, folder);

    std::string error = m_cloud.Start();
    if (!error.empty()) return error;
    m_window = std::make_unique<WindowLink>(m_cloud.BaseUrl(), kWindowPhone);
    error = m_window->Open(1000);
    if (!error.empty()) return error;
    m_group = std::make_unique<GroupLink>(m_cloud.BaseUrl(), m_cloud.GroupPhones());
    error = m_group->Open(1000);
    if (!error.empty()) return error;
    if (!WaitUntil([&] { return m_cloud.Controls(kNodeA, {}) && m_cloud.Controls(kNodeB, {}); }, kRecoveryBoundMs))
        return "the nodes never controlled the group";

    m_phones.emplace_back(kWindowPhone, m_windowInput, kWindowLink);
    m_phones.emplace_back(m_cloud.GroupPhones().front(), m_groupInput, kMainLink);
    for (const auto& phone : m_cloud.FollowersOn(kNodeA)) m_phones.emplace_back(phone, m_groupInput, kNodeALink);
    for (const auto& phone : m_cloud.FollowersOn(kNodeB)) m_phones.emplace_back(phone, m_groupInput, kNodeBLink);
    m_windowArmed = kWindowLink;
    m_groupArmed = kMainLink | kNodeALink | kNodeBLink;
    m_cloud.Sim().ClearRecords();
    std::vector<InputTarget> targets;
    targets.push_back({[this](const std::string& text) { return m_window->Send(text); }, &m_windowInput, &m_windowArmed});
    targets.push_back({[this](const std::string& text) { return m_group->Send(text); }, &m_groupInput, &m_groupArmed});
    m_pacer = std::make_unique<InputPacer>(std::move(targets), m_inputMs);
    m_pacer->Start();
    std::printf("soak: window and group playing; %s\n", Describe(ReadProcessFigures()).c_str());
    return "";
}

void SoakRun::TearDown() {
    if (m_pacer) m_pacer->Stop();
    if (m_group) m_group->Close();
    if (m_window) m_window->Close();
    m_cloud.Stop();
    base::SetLogCapture(nullptr);
}

// Lets every link carry some input after its recovery, and both streams
// show pictures again.
std::string SoakRun::WaitInputsFlowing() {
    const bool flowing = WaitUntil(
        [&] {
            return m_windowInput.LastNumber() >= m_windowArmedAt + kInputsPerRound &&
                   m_groupInput.LastNumber() >= m_groupArmedAt + kInputsPerRound;
        },
        kRecoveryBoundMs);
    if (!flowing) return "input stopped flowing";
    const int mainFrames = m_group->MainNotic().frames.load();
    if (!WaitUntil([&] { return m_window->Notic().frames.load() > m_windowFramesAtRecovery; }, kRecoveryBoundMs))
        return "the window decoded no picture after its recovery";
    if (!WaitUntil([&] { return m_group->MainNotic().frames.load() > mainFrames; }, kRecoveryBoundMs))
        return "the group's main phone stopped decoding pictures";
    return "";
}

// With the input paused: waits until every phone received the newest input
// sent while its link was up, checks what arrived, and clears the record.
void SoakRun::CheckArrivals() {
    m_pacer->Pause();
    for (PhoneCheck& phone : m_phones) {
        const uint64_t newest = phone.Ledger().LastArmed(phone.Link());
        if (newest == 0) continue;
        WaitUntil([&] { return phone.Holds(m_cloud.Sim().Received(phone.InstanceNo()), newest); }, kArrivalBoundMs);
    }
    for (PhoneCheck& phone : m_phones) {
        const size_t known = phone.Tally().faults.size();
        phone.Check(m_cloud.Sim().Received(phone.InstanceNo()), phone.Ledger().LastNumber());
        for (size_t i = known; i < phone.Tally().faults.size(); ++i) Fail(phone.Tally().faults[i]);
    }
    // Every phone was checked up to the newest input: the ledgers need no older ones.
    m_windowInput.Forget(m_windowInput.LastNumber());
    m_groupInput.Forget(m_groupInput.LastNumber());
    m_cloud.Sim().ClearRecords();
}

std::string SoakRun::RunRound(int round) {
    const FaultKind kind = KindOfRound(round);
    const int plays = m_window->Notic().plays.load();
    const int disconnects = m_window->Notic().disconnects.load();
    const std::string lines[2] = {NodeLine(kNodeA, "connected"), NodeLine(kNodeB, "connected")};
    const std::string lostLines[2] = {NodeLine(kNodeA, "disconnected"), NodeLine(kNodeB, "disconnected")};
    const char* nodes[2] = {kNodeA, kNodeB};
    const uint32_t nodeLinks[2] = {kNodeALink, kNodeBLink};
    int connected[2];
    int lost[2];
    std::set<std::string> former[2];
    for (int i = 0; i < 2; ++i) {
        connected[i] = m_watch.Count(lines[i]);
        lost[i] = m_watch.Count(lostLines[i]);
        former[i] = m_cloud.ConnIds(nodes[i]);
    }

    // The input is paused here: no send is under way while the links are marked down.
    m_windowArmed = 0;
    m_groupArmed = kMainLink;
    FaultTargets targets;
    targets.windowPhone = kWindowPhone;
    targets.nodes = {kNodeA, kNodeB};
    targets.refusalMs = m_refusalMs;
    const Clock::time_point start = Clock::now();
    const std::string error = ApplyFault(m_cloud.Sim(), targets, round);
    m_pacer->Resume();
    if (!error.empty()) return error;
    ++m_dropsOfKind[static_cast<int>(kind)];
    if (StopsNodes(round)) ++m_nodeStops;

    bool windowUp = false;
    bool nodeUp[2] = {false, false};
    double windowSeconds = 0;
    double nodeSeconds[2] = {0, 0};
    const bool recovered = WaitUntil(
        [&] {
            if (!windowUp && m_window->Notic().plays.load() > plays) {
                windowUp = true;
                windowSeconds = SecondsBetween(start, Clock::time_point(Clock::duration(m_window->Notic().lastPlayNs.load())));
                m_windowArmedAt = m_windowInput.LastNumber();
                m_windowFramesAtRecovery = m_window->Notic().frames.load();
                m_windowArmed = kWindowLink;
            }
            for (int i = 0; i < 2; ++i) {
                if (nodeUp[i] || m_watch.Count(lines[i]) <= connected[i] || !m_cloud.Controls(nodes[i], former[i]))
                    continue;
                nodeUp[i] = true;
                nodeSeconds[i] = SecondsBetween(start, m_watch.LastSeen(lines[i]));
                m_groupArmedAt = m_groupInput.LastNumber();
                m_groupArmed |= nodeLinks[i];
            }
            return windowUp && nodeUp[0] && nodeUp[1];
        },
        kRecoveryBoundMs);
    ClearFault(m_cloud.Sim(), targets);
    if (!recovered) {
        return std::string("no recovery within ") + std::to_string(kRecoveryBoundMs / 1000) + " s:" +
               (windowUp ? "" : " window") + (nodeUp[0] ? "" : " gc-node-a") + (nodeUp[1] ? "" : " gc-node-b");
    }
    if (m_window->Notic().disconnects.load() <= disconnects) Fail("round " + std::to_string(round) + ": the window's SDK reported no disconnection");
    for (int i = 0; i < 2; ++i) {
        if (m_watch.Count(lostLines[i]) <= lost[i])
            Fail("round " + std::to_string(round) + ": the group SDK reported no disconnection of " + nodes[i]);
    }
    m_stats.Add("window", kind, windowSeconds);
    m_stats.Add(kNodeA, kind, nodeSeconds[0]);
    m_stats.Add(kNodeB, kind, nodeSeconds[1]);
    std::printf("round %3d/%d %-12s recovered: window %.2f s, %s %.2f s, %s %.2f s; %s\n", round, m_drops,
                KindName(kind), windowSeconds, kNodeA, nodeSeconds[0], kNodeB, nodeSeconds[1],
                Describe(ReadProcessFigures()).c_str());
    std::fflush(stdout);
    return "";
}

bool SoakRun::ResourcesBack(const ProcessFigures& now) const {
    for (const FigureCheck& check : CompareFigures(m_baseline, now, kResourcePercent, !kAddressSanitizer))
        if (!check.within) return false;
    return true;
}

int SoakRun::Run() {
    const Clock::time_point begin = Clock::now();
    std::string error = SetUp();
    for (int round = 1; error.empty() && round <= m_drops; ++round) {
        error = WaitInputsFlowing();
        if (!error.empty()) break;
        CheckArrivals();
        if (round == 2) {
            m_baseline = SteadyFigures();
            m_haveBaseline = true;
            std::printf("soak: after the first recovery: %s\n", Describe(m_baseline).c_str());
        }
        error = RunRound(round);
        if (!error.empty()) error = "round " + std::to_string(round) + ": " + error;
    }
    if (error.empty()) error = WaitInputsFlowing();
    if (error.empty()) CheckArrivals();
    if (!error.empty()) Fail(error);

    if (error.empty()) {
        if (!m_haveBaseline) m_baseline = SteadyFigures();
        ProcessFigures last;
        // Threads and sockets of the last recovery may still be winding down.
        WaitUntil([&] { return ResourcesBack(last = SteadyFigures()); }, kSettleBoundMs);
        std::printf("soak: resources after the first recovery: %s\n", Describe(m_baseline).c_str());
        std::printf("soak: resources after the last recovery:  %s\n", Describe(last).c_str());
        std::printf("soak: first recovery -> last recovery (medians over 3 s; resident memory after malloc_trim):\n");
        for (const FigureCheck& check : CompareFigures(m_baseline, last, kResourcePercent, !kAddressSanitizer))
            std::printf("  %s\n", check.line.c_str());
        if (kAddressSanitizer)
            std::printf("soak: AddressSanitizer build: its quarantine keeps freed memory resident, so resident memory "
                        "is reported, not compared; heap in use is the sanitizer's count of live blocks\n");
        if (!ResourcesBack(last)) Fail("resources did not return within 5 % of the first recovery's");
    }

    std::printf("soak: %zu recoveries in %.0f s\n", m_stats.Count(), SecondsSince(begin));
    std::printf("  drops of each link: %d close frame, %d TCP drop, %d refusal (%d of them with the nodes stopped)\n",
                m_dropsOfKind[0], m_dropsOfKind[1], m_dropsOfKind[2], m_nodeStops);
    for (const auto& line : m_stats.Summary()) std::printf("  %s\n", line.c_str());
    std::printf("  input sent: %llu to the window, %llu to the group (a text every %d ms, links up or down)\n",
                static_cast<unsigned long long>(m_windowInput.LastNumber()),
                static_cast<unsigned long long>(m_groupInput.LastNumber()), m_inputMs);
    for (size_t i = 0; i < m_phones.size(); ++i) {
        const PhoneCheck& phone = m_phones[i];
        const PhoneTally& t = phone.Tally();
        const char* link = i == 0                       ? "window"
                           : phone.Link() == kMainLink  ? "group main"
                           : phone.Link() == kNodeALink ? kNodeA
                                                        : kNodeB;
        std::printf("  %-14s %-10s input arrived %llu (required %llu, sent while down and arrived %llu), faults %zu\n",
                    phone.InstanceNo().c_str(), link, static_cast<unsigned long long>(t.arrived),
                    static_cast<unsigned long long>(t.required), static_cast<unsigned long long>(t.optionalArrived),
                    t.faults.size());
    }
    std::printf("  window: %d play results, %d disconnections, %d frames; group main phone: %d play results\n",
                m_window ? m_window->Notic().plays.load() : 0, m_window ? m_window->Notic().disconnects.load() : 0,
                m_window ? m_window->Notic().frames.load() : 0, m_group ? m_group->MainNotic().plays.load() : 0);
    std::printf("  SDK error lines logged: %d\n", m_watch.ErrorLines());
    TearDown();
    if (!m_failures.empty()) {
        std::printf("soak: %zu failures:\n", m_failures.size());
        for (const auto& failure : m_failures) std::printf("  %s\n", failure.c_str());
    }
    if (!m_folder.empty()) {
        if (m_failures.empty()) {
            std::error_code ignored;
            if (chdir("/") == 0) std::filesystem::remove_all(m_folder, ignored);
        } else {
            std::printf("soak: the SDK logs are kept in %s/QVLog\n", m_folder.c_str());
        }
    }
    std::printf("soak: %s\n", m_failures.empty() ? "PASSED" : "FAILED");
    return m_failures.empty() ? 0 : 1;
}

}  // namespace
}  // namespace soak

int main() {
    // Two malloc arenas instead of one per thread: streams allocate and free
    // large blocks on many threads, and glibc keeps freed blocks scattered
    // over its arenas, which would make resident memory follow the spread of
    // old frees rather than what the process holds. Set before any thread starts.
    mallopt(M_ARENA_MAX, 2);
    // Blocks from 128 KiB up (pictures, decoder buffers) mapped on their own
    // and given back when freed. Left alone, glibc raises this threshold to
    // the largest block freed so far, after which such blocks come from the
    // heap, and the freed ones leave holes that keep resident memory up by
    // some megabytes depending on where the last ones landed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    soak::SoakRun run;
    return run.Run();
}
