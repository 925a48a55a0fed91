#pragma once
// The local cloud in this process for one measured configuration, run from
// a fresh working folder (the session layer keeps its configuration file
// and the SDK its log there), with the demo account's records.
#include <memory>
#include <string>

#include "cloudsim/cloud_sim.h"

namespace handset_bench {

constexpr const char* kInstance = "CP-DEMO-0001";
constexpr const char* kUserId = "demo-user";
constexpr const char* kAccessKey = "demo-access-key";
constexpr const char* kSecretKey = "demo-secret-key";

class BenchCloud {
public:
    BenchCloud() = default;
    ~BenchCloud();
    BenchCloud(const BenchCloud&) = delete;
    BenchCloud& operator=(const BenchCloud&) = delete;

    // false (error filled) when the folder or the cloud cannot be set up.
    bool Start(std::string* error);
    std::string BaseUrl() const;

private:
    std::string m_dir;
    std::unique_ptr<cloudsim::CloudSim> m_cloud;
};

}  // namespace handset_bench
