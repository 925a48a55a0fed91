#include "bench_cloud.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "cloud_send_stamps.h"
#include "common/qv_log.h"
#include "handset_sdk/handset_sdk.h"

namespace handset_bench {

BenchCloud::~BenchCloud() {
    m_cloud.reset();
    if (!m_dir.empty() && chdir("/tmp") == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

bool BenchCloud::Start(std::string* error) {
    char pattern[] = "/tmp/handset_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        *error = "cannot make a working folder";
        return false;
    }
    m_dir = pattern;
    QvLogParam log{};
    log.level = QV_LOG_INFO;  // the player's path line is information
    common::CopyText(log.directory, (m_dir + "/QVLog").c_str());
    common::CopyText(log.name, "HANDSET_SDK");
    log.fileSizeKb = 1024;
    log.fileCount = 1;
    handset_sdk::IHandsetSdk::SetLogParam(&log);
    cloudsim::CloudOptions options;
    options.logLevel = 60;
    options.onVideoSent = [](const std::string&, const std::vector<uint8_t>& accessUnit) {
        CloudVideoSends().Mark(accessUnit.data(), accessUnit.size());
    };
    m_cloud = std::make_unique<cloudsim::CloudSim>(options);
    if (m_cloud->Start(error) != 0) return false;
    // Statistics reports go to the local cloud too.
    setenv("TESSIVO_STAT_URL", m_cloud->HttpsUrl().c_str(), 1);
    return true;
}

std::string BenchCloud::BaseUrl() const { return m_cloud ? m_cloud->HttpsUrl() : std::string(); }

}  // namespace handset_bench
