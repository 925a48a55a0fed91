#include "fault_round.h"

#include <chrono>
#include <thread>

namespace soak {

FaultKind KindOfRound(int round) { return static_cast<FaultKind>((round - 1) % kFaultKinds); }

const char* KindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::kCloseFrame: return "close frame";
        case FaultKind::kTcpDrop: return "TCP drop";
        case FaultKind::kRefusal: return "refusal";
    }
    return "?";
}

bool StopsNodes(int round) { return KindOfRound(round) == FaultKind::kRefusal && (round / kFaultKinds) % 2 == 0; }

std::string ApplyFault(cloudsim::CloudSim& cloud, const FaultTargets& targets, int round) {
    const FaultKind kind = KindOfRound(round);
    if (kind != FaultKind::kRefusal) {
        const cloudsim::CutKind cut =
            kind == FaultKind::kCloseFrame ? cloudsim::CutKind::kCloseFrame : cloudsim::CutKind::kTcpDrop;
        if (cloud.CutStreams(targets.windowPhone, cut) < 1) return "the window had no stream connection to cut";
        for (const auto& node : targets.nodes)
            if (cloud.CutNodeConnections(node, cut) < 1) return node + " had no connection to cut";
        return "";
    }
    cloudsim::FaultScript stream;
    stream.refuseUpgrade = true;
    stream.refuseUpgradeMs = targets.refusalMs;
    stream.streamConnections = -1;
    cloud.SetFaults(targets.windowPhone, stream);
    const bool stopNodes = StopsNodes(round);
    if (!stopNodes) {
        cloudsim::NodeFaultScript nodeFaults;
        nodeFaults.refuseUpgrade = true;
        nodeFaults.refuseUpgradeMs = targets.refusalMs;
        for (const auto& node : targets.nodes) cloud.SetNodeFaults(node, nodeFaults);
    }
    if (cloud.CutStreams(targets.windowPhone, cloudsim::CutKind::kTcpDrop) < 1)
        return "the window had no stream connection to cut";
    if (!stopNodes) {
        for (const auto& node : targets.nodes)
            if (cloud.CutNodeConnections(node, cloudsim::CutKind::kTcpDrop) < 1) return node + " had no connection to cut";
        return "";
    }
    for (const auto& node : targets.nodes)
        if (cloud.StopNode(node) != 0) return node + " did not stop";
    // The refusal window itself: the nodes stay away this long.
    std::this_thread::sleep_for(std::chrono::milliseconds(targets.refusalMs));
    for (const auto& node : targets.nodes)
        if (cloud.StartNode(node) != 0) return node + " did not listen again";
    return "";
}

void ClearFault(cloudsim::CloudSim& cloud, const FaultTargets& targets) {
    cloud.SetFaults(targets.windowPhone, cloudsim::FaultScript());
    for (const auto& node : targets.nodes) cloud.SetNodeFaults(node, cloudsim::NodeFaultScript());
}

}  // namespace soak
