#pragma once
// The fault of one round, applied at once to the window's stream link and to
// both node links: a close frame, a cut TCP connection, or a refusal of new
// connections for a scripted time after the current ones were cut.
#include <string>
#include <vector>

#include "cloudsim/cloud_sim.h"

namespace soak {

enum class FaultKind { kCloseFrame, kTcpDrop, kRefusal };
constexpr int kFaultKinds = 3;

// Rounds count from 1 and take the kinds in turn.
FaultKind KindOfRound(int round);
const char* KindName(FaultKind kind);
// Whether a refusal round stops the nodes rather than having them answer 503.
bool StopsNodes(int round);

struct FaultTargets {
    std::string windowPhone;
    std::vector<std::string> nodes;
    int refusalMs = 2000;
};

// Refusals: the stream server answers the window's upgrades 503 for
// refusalMs (a time the cloud keeps). The nodes do the same in odd refusal
// rounds; in even ones they stop listening, so connecting is refused outright,
// and listen again once refusalMs passed (this call returns then).
// What went wrong, or "".
std::string ApplyFault(cloudsim::CloudSim& cloud, const FaultTargets& targets, int round);
// Takes back the faults of the round.
void ClearFault(cloudsim::CloudSim& cloud, const FaultTargets& targets);

}  // namespace soak
