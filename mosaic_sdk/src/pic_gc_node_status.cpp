// The node-state query, an addition of this project after the designed
// operations: a copy of the node table's link states, handed to the
// application on the caller's thread without the table lock.
#include <vector>

#include "common/qv_log.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

int CQVPicGCControl::QueryNodeStatus() {
    if (m_state.load() != kGroupReady) return -1;
    void* userData = nullptr;
    auto notic = Notic(&userData);
    std::vector<NodeStatusInfo> nodes;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        nodes.reserve(m_tables.nodes.size());
        for (const auto& entry : m_tables.nodes) {  // ordered by node number
            NodeStatusInfo info{};
            common::CopyText(info.nodeNo, entry.first.c_str());
            info.state = entry.second.state;
            info.refusalCode = entry.second.state == kNodeControlRefused ? entry.second.refusalCode : 0;
            nodes.push_back(info);
        }
    }
    if (notic) notic->OnQueryNodeStatus(nodes.data(), nodes.size(), userData);
    return 0;
}

}  // namespace mosaic_sdk
