#pragma once
// Group control against the local cloud, driven the way the group SDK
// drives it: the platform client asks for the group's sessions and
// screenshots, the node link manager connects to each named node.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cloudsim/cloud_sim.h"
#include "fleet_link/fleet_link.h"
#include "link_harness.h"
#include "plat_client/plat_client.h"

namespace cloudsim_test {

// Keeps the platform client's answers and wakes waiters.
class PlatformAnswers : public plat_client::IPlatClientNotic {
public:
    void OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                       std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp, const char*,
                                       void*) override;
    void OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp, const char*,
                         void*) override;
    void OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name, void*) override;

    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> WaitGroup(int timeoutMs = 20000);
    std::shared_ptr<plat_client::ScreenshotRsp> WaitScreenshot(int timeoutMs = 20000);
    // The body of the download named name; false when none arrived in time.
    bool WaitDownload(const std::string& name, std::string& body, int timeoutMs = 20000);

private:
    bool Wait(const std::function<bool()>& ready, int timeoutMs);
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> m_group;
    std::shared_ptr<plat_client::ScreenshotRsp> m_screenshot;
    std::map<std::string, std::string> m_downloads;
};

struct NodeLink {
    std::string nodeNo;
    std::string url;
    std::shared_ptr<fleet_link_test::RecordingNotic> notic;
    std::shared_ptr<fleet_link::IPicGCWSNodeInterface> link;
    std::vector<fleet_link::ControlInstance> instances;  // the accepted instances the node serves
};

class GroupFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the cloud with config (default: the built-in one).
    void StartCloud(cloudsim::CloudConfig config = cloudsim::DefaultCloudConfig());
    // Group-control connect for the instances; the answer.
    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> Connect(const std::vector<std::string>& instanceNos);
    // Links to every node of the answer (wss for the first, ws for the rest),
    // each registered; fills links.
    void LinkNodes(const plat_client::PhoneGroupControlConnectRsp& answer, int reconnectMs = 3000);
    // Start control on every link with main; waits for each answer.
    void StartControl(const std::string& main);
    NodeLink& LinkOf(const std::string& instanceNo);
    // Waits until the instance's record holds n node inputs of kind.
    bool WaitForNodeInputs(const std::string& instanceNo, const std::string& kind, size_t n, int timeoutMs = 20000);
    std::vector<cloudsim::ReceivedMessage> NodeInputs(const std::string& instanceNo, const std::string& kind = "");
    cloudsim::PhoneView View(const std::string& instanceNo);

    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::shared_ptr<PlatformAnswers> answers = std::make_shared<PlatformAnswers>();
    std::shared_ptr<plat_client::IPlatClient> platform;
    std::shared_ptr<fleet_link::IFleetLink> fleet;
    std::vector<NodeLink> links;
    std::vector<std::string> group;  // the demo group: leading phone first, refused one last
};

}  // namespace cloudsim_test
