#include "soak_cloud.h"

#include <cstdlib>

namespace soak {

std::string SoakCloud::Start() {
    cloudsim::CloudOptions options;
    options.logLevel = 60;
    for (auto& instance : options.config.instances) {
        if (instance.instanceNo != kWindowPhone) continue;
        instance.screenWidth = 360;
        instance.screenHeight = 640;
    }
    cloudsim::GroupSpec spec;
    spec.name = "Soak group";
    spec.prefix = "CP-SOAK-";
    spec.nodeNos = {kNodeB, kNodeA};
    spec.phones = 5;
    spec.sizes = {{360, 640}, {270, 480}, {300, 512}};
    m_group = cloudsim::AddGroup(options.config, spec);
    if (m_group.size() != 5) return "the soak group was not made";
    // Phones 1, 3 and 5 on node a, 2 and 4 on node b.
    m_nodeOf.clear();
    for (size_t i = 0; i < m_group.size(); ++i) m_nodeOf.push_back(i % 2 == 0 ? kNodeA : kNodeB);
    for (auto& instance : options.config.instances) {
        for (size_t i = 0; i < m_group.size(); ++i)
            if (instance.instanceNo == m_group[i]) instance.groupNode = m_nodeOf[i];
    }
    m_cloud = std::make_unique<cloudsim::CloudSim>(options);
    std::string error;
    if (m_cloud->Start(&error) != 0) return "the local cloud did not start: " + error;
    setenv("TESSIVO_STAT_URL", m_cloud->HttpsUrl().c_str(), 1);
    return "";
}

void SoakCloud::Stop() {
    if (m_cloud) m_cloud->Stop();
    m_cloud.reset();
}

std::vector<std::string> SoakCloud::FollowersOn(const std::string& nodeNo) const {
    std::vector<std::string> followers;
    for (size_t i = 1; i < m_group.size(); ++i)
        if (m_nodeOf[i] == nodeNo) followers.push_back(m_group[i]);
    return followers;
}

size_t SoakCloud::InstancesOn(const std::string& nodeNo) const {
    size_t n = 0;
    for (const auto& node : m_nodeOf) n += node == nodeNo ? 1 : 0;
    return n;
}

std::set<std::string> SoakCloud::ConnIds(const std::string& nodeNo) const {
    std::set<std::string> ids;
    cloudsim::NodeView view;
    if (!m_cloud->Node(nodeNo, view)) return ids;
    for (const auto& connection : view.connections)
        if (!connection.connId.empty()) ids.insert(connection.connId);
    return ids;
}

bool SoakCloud::Controls(const std::string& nodeNo, const std::set<std::string>& former) const {
    cloudsim::NodeView view;
    if (!m_cloud->Node(nodeNo, view)) return false;
    for (const auto& connection : view.connections) {
        if (connection.connId.empty() || former.count(connection.connId) != 0) continue;
        if (connection.instances.size() != InstancesOn(nodeNo)) continue;
        bool all = true;
        for (const auto& instance : connection.instances) all = all && instance.state == cloudsim::kNodeInstanceControlled;
        if (all) return true;
    }
    return false;
}

}  // namespace soak
