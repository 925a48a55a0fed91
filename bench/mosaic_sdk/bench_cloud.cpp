#include "bench_cloud.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/qv_log.h"
#include "mosaic_sdk/mosaic_sdk.h"

namespace mosaic_bench {

BenchCloud::~BenchCloud() {
    m_cloud.reset();
    if (!m_dir.empty() && chdir("/tmp") == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

bool BenchCloud::Start(int followers, int nodes, std::string* error) {
    char pattern[] = "/tmp/mosaic_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        *error = "cannot make a working folder";
        return false;
    }
    m_dir = pattern;
    QvLogParam log{};
    log.level = QV_LOG_WARN;
    common::CopyText(log.directory, (m_dir + "/QVLog").c_str());
    common::CopyText(log.name, "MOSAIC_SDK");
    log.fileSizeKb = 1024;
    log.fileCount = 1;
    mosaic_sdk::IMosaicSdk::SetLogParam(&log);

    cloudsim::CloudOptions options;
    options.logLevel = 60;
    options.onInputApplied = [this](const std::string&, const std::string& kind, bool viaNode) {
        m_arrivals.Mark(kind, viaNode);
    };
    cloudsim::GroupSpec spec;
    spec.name = "Bench group";
    spec.prefix = "CP-BENCH-";
    spec.phones = followers;
    spec.nodeNos.clear();
    for (int i = 0; i < nodes; ++i) spec.nodeNos.push_back("bench-node-" + std::to_string(i));
    m_nodes = spec.nodeNos;
    m_followers = cloudsim::AddGroup(options.config, spec);
    m_cloud = std::make_unique<cloudsim::CloudSim>(options);
    if (m_cloud->Start(error) != 0) return false;
    setenv("TESSIVO_STAT_URL", m_cloud->HttpsUrl().c_str(), 1);
    return true;
}

std::string BenchCloud::BaseUrl() const { return m_cloud ? m_cloud->HttpsUrl() : std::string(); }

std::vector<std::string> BenchCloud::NodeNumbers() const { return m_nodes; }

}  // namespace mosaic_bench
