#include "group_harness.h"

#include <chrono>
#include <cstring>

#include "signed_call.h"

namespace cloudsim_test {
namespace {

void Copy(char (&to)[256], const std::string& from) {
    std::strncpy(to, from.c_str(), sizeof(to) - 1);
    to[sizeof(to) - 1] = '\0';
}

}  // namespace

void PlatformAnswers::OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                                    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp,
                                                    const char*, void*) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (result == 0 && httpCode == 200) m_group = rsp;
    m_changed.notify_all();
}

void PlatformAnswers::OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp,
                                      const char*, void*) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (result == 0 && httpCode == 200) m_screenshot = rsp;
    m_changed.notify_all();
}

void PlatformAnswers::OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                                void*) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (result == 0 && httpCode == 200 && name != nullptr) {
        m_downloads[name] = std::string(body, static_cast<size_t>(bodyLength));
    }
    m_changed.notify_all();
}

bool PlatformAnswers::Wait(const std::function<bool()>& ready, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> PlatformAnswers::WaitGroup(int timeoutMs) {
    Wait([this] { return m_group != nullptr; }, timeoutMs);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto answer = m_group;
    m_group.reset();
    return answer;
}

std::shared_ptr<plat_client::ScreenshotRsp> PlatformAnswers::WaitScreenshot(int timeoutMs) {
    Wait([this] { return m_screenshot != nullptr; }, timeoutMs);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto answer = m_screenshot;
    m_screenshot.reset();
    return answer;
}

bool PlatformAnswers::WaitDownload(const std::string& name, std::string& body, int timeoutMs) {
    if (!Wait([&] { return m_downloads.count(name) > 0; }, timeoutMs)) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    body = m_downloads[name];
    m_downloads.erase(name);
    return true;
}

void GroupFixture::SetUp() {}

void GroupFixture::StartCloud(cloudsim::CloudConfig config) {
    group = config.groups.empty() ? std::vector<std::string>() : config.groups.back().instanceNos;
    cloudsim::CloudOptions options;
    options.config = std::move(config);
    options.logLevel = 40;
    cloud = std::make_unique<cloudsim::CloudSim>(options);
    ASSERT_EQ(cloud->Start(), 0);
    platform = plat_client::IPlatClient::Create();
    const Credentials user = DemoUser();
    ASSERT_EQ(platform->Init(cloud->HttpsUrl().c_str(), user.userId.c_str(), user.accessKey.c_str(),
                             user.secretKey.c_str(), "1.1.0", answers, 10000, 20000),
              0);
    fleet = fleet_link::IFleetLink::CreateFleetLink();
    ASSERT_EQ(fleet->Init(), 0);
}

void GroupFixture::TearDown() {
    for (auto& link : links) {
        if (link.link) fleet->RemoveGCNode(link.link);
    }
    links.clear();
    if (fleet) fleet->UnInit();
    if (platform) platform->UnInit();
    if (cloud) cloud->Stop();
}

std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> GroupFixture::Connect(
    const std::vector<std::string>& instanceNos) {
    std::vector<const char*> names;
    for (const auto& no : instanceNos) names.push_back(no.c_str());
    EXPECT_EQ(platform->PhoneGroupControlConnect(names.data(), static_cast<unsigned>(names.size()), nullptr, nullptr),
              0);
    return answers->WaitGroup();
}

void GroupFixture::LinkNodes(const plat_client::PhoneGroupControlConnectRsp& answer, int reconnectMs) {
    const std::string uid = DemoUser().userId;
    for (const auto& node : answer.idcServerNodeList) {
        NodeLink link;
        link.nodeNo = node.idcServerNodeNo;
        link.url = std::string(links.empty() ? "wss://" : "ws://") + node.nodeIp + ":" + std::to_string(node.nodePort) +
                   "/ws";
        link.notic = std::make_shared<fleet_link_test::RecordingNotic>();
        for (const auto& session : answer.successList) {
            if (session.gCtrlNodeNo != link.nodeNo) continue;
            fleet_link::ControlInstance instance{};
            Copy(instance.uid, uid);
            Copy(instance.sessionId, session.sessionId);
            Copy(instance.instanceNo, session.instanceNo);
            link.instances.push_back(instance);
        }
        link.link = fleet->AddGCNode(link.notic, link.url.c_str(), "1.1.0", link.nodeNo.c_str(), true, 0, reconnectMs,
                                     10000, nullptr);
        ASSERT_TRUE(link.link) << link.url;
        links.push_back(link);
    }
    for (auto& link : links) ASSERT_TRUE(link.notic->WaitForStatus(2, 1, 20000)) << link.url;
}

void GroupFixture::StartControl(const std::string& main) {
    fleet_link::StreamConf conf{};
    conf.width = 720;
    conf.height = 1280;
    for (auto& link : links) {
        const size_t before = link.notic->CountOf("start");
        ASSERT_EQ(link.link->StartControl(main.c_str(), &conf, link.instances.data(),
                                          static_cast<uint32_t>(link.instances.size())),
                  0);
        ASSERT_TRUE(link.notic->WaitForCount("start", before + 1, 20000));
        EXPECT_EQ(link.notic->Events().back().code, 0);
    }
}

NodeLink& GroupFixture::LinkOf(const std::string& instanceNo) {
    for (auto& link : links) {
        for (const auto& instance : link.instances) {
            if (instanceNo == instance.instanceNo) return link;
        }
    }
    ADD_FAILURE() << "no node serves " << instanceNo;
    return links.front();
}

std::vector<cloudsim::ReceivedMessage> GroupFixture::NodeInputs(const std::string& instanceNo,
                                                                const std::string& kind) {
    std::vector<cloudsim::ReceivedMessage> inputs;
    for (auto& message : cloud->Received(instanceNo)) {
        if (message.type == 1015 && (kind.empty() || message.kind == kind)) inputs.push_back(message);
    }
    return inputs;
}

bool GroupFixture::WaitForNodeInputs(const std::string& instanceNo, const std::string& kind, size_t n,
                                     int timeoutMs) {
    return fleet_link_test::WaitUntil([&] { return NodeInputs(instanceNo, kind).size() >= n; }, timeoutMs);
}

cloudsim::PhoneView GroupFixture::View(const std::string& instanceNo) {
    cloudsim::PhoneView view;
    EXPECT_TRUE(cloud->Phone(instanceNo, view));
    return view;
}

}  // namespace cloudsim_test
