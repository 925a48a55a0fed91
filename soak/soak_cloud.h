#pragma once
// The local cloud of the soak, in this process: the window's phone, a group
// of five phones on two of the cloud's own nodes (the main phone and two
// followers on node a, two followers on node b), small screens so that two
// streams decode at little cost.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cloudsim/cloud_sim.h"

namespace soak {

constexpr const char* kWindowPhone = "CP-DEMO-0001";
constexpr const char* kNodeA = "gc-node-a";
constexpr const char* kNodeB = "gc-node-b";

class SoakCloud {
public:
    // "" or what failed.
    std::string Start();
    void Stop();

    cloudsim::CloudSim& Sim() { return *m_cloud; }
    std::string BaseUrl() const { return m_cloud->HttpsUrl(); }
    // The group's phones, the main phone first.
    const std::vector<std::string>& GroupPhones() const { return m_group; }
    std::vector<std::string> FollowersOn(const std::string& nodeNo) const;
    // Instances the node serves in this group (the main phone counts on its node).
    size_t InstancesOn(const std::string& nodeNo) const;

    // Connection ids of the node's registered connections.
    std::set<std::string> ConnIds(const std::string& nodeNo) const;
    // Whether a registered connection not in `former` controls every
    // instance of the group the node serves.
    bool Controls(const std::string& nodeNo, const std::set<std::string>& former) const;

private:
    std::unique_ptr<cloudsim::CloudSim> m_cloud;
    std::vector<std::string> m_group;
    std::vector<std::string> m_nodeOf;  // node of each group phone
};

}  // namespace soak
