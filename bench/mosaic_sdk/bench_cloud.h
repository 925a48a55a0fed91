#pragma once
// The local cloud in this process for one measured row: the demo phones for
// the single-phone baseline and a group of followers on the cloud's own
// nodes, run from a fresh working folder; every touch a phone receives is
// stamped in the arrival log.
#include <memory>
#include <string>
#include <vector>

#include "arrival_log.h"
#include "cloudsim/cloud_sim.h"

namespace mosaic_bench {

constexpr const char* kSingleInstance = "CP-DEMO-0001";
constexpr const char* kUserId = "demo-user";
constexpr const char* kAccessKey = "demo-access-key";
constexpr const char* kSecretKey = "demo-secret-key";

class BenchCloud {
public:
    BenchCloud() = default;
    ~BenchCloud();
    BenchCloud(const BenchCloud&) = delete;
    BenchCloud& operator=(const BenchCloud&) = delete;

    // followers phones on nodes nodes. false (error filled) on failure.
    bool Start(int followers, int nodes, std::string* error);
    std::string BaseUrl() const;
    const std::vector<std::string>& Followers() const { return m_followers; }
    std::vector<std::string> NodeNumbers() const;
    cloudsim::CloudSim& Cloud() { return *m_cloud; }
    ArrivalLog& Arrivals() { return m_arrivals; }

private:
    std::string m_dir;
    ArrivalLog m_arrivals;
    std::vector<std::string> m_followers;
    std::vector<std::string> m_nodes;
    std::unique_ptr<cloudsim::CloudSim> m_cloud;
};

}  // namespace mosaic_bench
