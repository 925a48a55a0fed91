#pragma once
// Bounds of the link's parameter records and the small decisions of the
// connection machine, kept apart so they are checked on their own.
#include <cstdint>

#include "relay_port/relay_port.h"

namespace relay_port {

bool CheckVideoParam(const WsVideoParam& video);
bool CheckAudioParam(const WsAudioParam& audio);
bool CheckSystemParam(const WsSystemParam& system);

// Longest silence of the delay echo that still counts as alive.
constexpr int64_t kMaxEchoSilenceMs = 10000;
inline bool EchoAlive(int64_t nowMs, int64_t lastEchoMs) { return nowMs - lastEchoMs <= kMaxEchoSilenceMs; }

// Period of the check-result timer while waiting for the WebSocket upgrade.
constexpr uint64_t kCheckIntervalMs = 10;
enum class UpgradeCheck { kUpgraded, kFailed, kTimedOut, kWait };
// tickCount counts the ticks without an answer, this one included.
inline UpgradeCheck EvaluateUpgrade(int responseCode, int tickCount, uint32_t connectTimeoutMs) {
    if (responseCode == 101) return UpgradeCheck::kUpgraded;
    if (responseCode < 0) return UpgradeCheck::kFailed;
    if (tickCount > static_cast<int>(connectTimeoutMs / kCheckIntervalMs)) return UpgradeCheck::kTimedOut;
    return UpgradeCheck::kWait;
}

// Touch limits.
constexpr int kMaxTouchPoints = 8;
constexpr int64_t kMoveThrottleMs = 20;
constexpr uint32_t kTouchDown = 0;
constexpr uint32_t kTouchMove = 2;
// Longest text of an input or copy string.
constexpr size_t kMaxTextLength = 1048576;

}  // namespace relay_port
