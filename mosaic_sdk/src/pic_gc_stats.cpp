// The statistics query, an addition of this project after the designed
// operations: the main phone's figures from the handset SDK and the group's
// counted from the instance and node tables.
#include "pic_gc_control.h"

namespace mosaic_sdk {

void CQVPicGCControl::NotePaused(const std::vector<std::string>& instanceNos, bool paused) {
    std::lock_guard<std::mutex> lock(m_tableMutex);
    for (const std::string& number : instanceNos) {
        if (paused) {
            m_paused.insert(number);
        } else {
            m_paused.erase(number);
        }
    }
}

int CQVPicGCControl::GetStatistics(QvPicGCStats* stats) {
    if (stats == nullptr || m_state.load() != kGroupReady) return -1;
    *stats = QvPicGCStats();
    if (auto phone = MainPhone()) phone->GetStatistics(&stats->main);
    if (!m_ready.load()) return 0;  // no tables before the start has finished
    const std::string mainNo = MainNumber();
    std::lock_guard<std::mutex> lock(m_tableMutex);
    int followers = 0, controlled = 0, paused = 0, refused = 0, connected = 0;
    for (const InstanceStatusInfo& entry : m_tables.instances) {
        const std::string number = FieldText(entry.instanceNo);
        if (number == mainNo) continue;
        ++followers;
        const GCNodeInfo* node = m_tables.NodeOf(number);
        if (entry.state == kInstanceRefused || (node && node->state == kNodeControlRefused)) {
            ++refused;
        } else if (m_paused.count(number) != 0) {
            ++paused;
        } else if (node && node->state == kNodeControlling) {
            ++controlled;
        }
    }
    for (const auto& node : m_tables.nodes) {
        connected += node.second.state == kNodeConnected || node.second.state == kNodeControlling;
    }
    stats->followers = followers;
    stats->followersControlled = controlled;
    stats->followersPaused = paused;
    stats->followersRefused = refused;
    stats->nodesConnected = connected;
    stats->nodesTotal = static_cast<int32_t>(m_tables.nodes.size());
    return 0;
}

}  // namespace mosaic_sdk
