#pragma once
// A group against the local cloud in the test process: five phones of the
// demo user on two of the cloud's own nodes ("gc-node-a" serves three,
// "gc-node-b" two and is configured first) and one phone the platform
// refuses. The first phone is the main phone, decoded in out mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "cloudsim/cloud_sim.h"
#include "group_recorder.h"
#include "mosaic_sdk/mosaic_sdk.h"

namespace mosaic_test {

constexpr const char* kNodeA = "gc-node-a";
constexpr const char* kNodeB = "gc-node-b";
constexpr int kRefusedCode = 40901;

class GroupCloudTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mosaic_cloud_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        ASSERT_EQ(chdir(pattern), 0);
        QvLogParam log{};
        log.level = 0;
        std::snprintf(log.directory, sizeof log.directory, "%s/QVLog", pattern);
        std::strcpy(log.name, "MOSAIC_SDK");
        log.fileSizeKb = 1024;
        log.fileCount = 1;
        mosaic_sdk::IMosaicSdk::SetLogParam(&log);
        base::SetLogCapture([this](int level, const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_log.push_back(line);
        });

        cloudsim::CloudOptions options;
        options.logLevel = 60;
        cloudsim::GroupSpec spec;
        spec.prefix = "CP-E2E-";
        spec.nodeNos = {kNodeB, kNodeA};
        spec.phones = 5;
        spec.sizes = {{720, 1280}, {540, 960}, {600, 1024}};
        spec.refusedCode = kRefusedCode;
        numbers = cloudsim::AddGroup(options.config, spec);
        ASSERT_EQ(6u, numbers.size());
        // Phones 1, 3 and 5 on node a, 2 and 4 on node b: the answer lists
        // them interleaved and node b first.
        for (auto& instance : options.config.instances) {
            for (size_t i = 0; i + 1 < numbers.size(); ++i)
                if (instance.instanceNo == numbers[i]) instance.groupNode = i % 2 == 0 ? kNodeA : kNodeB;
        }
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        std::string error;
        ASSERT_EQ(cloud->Start(&error), 0) << error;
        setenv("TESSIVO_STAT_URL", cloud->HttpsUrl().c_str(), 1);
        sdk = mosaic_sdk::IMosaicSdk::CreateMosaicSdk();
    }
    void TearDown() override {
        if (sdk) sdk->Uninit();
        sdk.reset();
        cloud.reset();
        base::SetLogCapture(nullptr);
    }

    const std::string& Main() const { return numbers[0]; }
    std::vector<std::string> Phones() const { return {numbers.begin(), numbers.end() - 1}; }
    std::vector<std::string> Followers() const { return {numbers.begin() + 1, numbers.end() - 1}; }
    const std::string& Refused() const { return numbers.back(); }

    int InitGroup(const mosaic_sdk::QvPicGCSysParam& gc) {
        mosaic_sdk::QvDataParam data;
        std::strcpy(data.baseUrl, cloud->HttpsUrl().c_str());
        std::strcpy(data.userId, "demo-user");
        std::strcpy(data.accessKey, "demo-access-key");
        std::strcpy(data.secretKey, "demo-secret-key");
        std::strcpy(data.instanceNo, Main().c_str());
        mosaic_sdk::QvPhoneParam video;
        video.fps = 10;
        mosaic_sdk::QVOutParam out;
        out.showMode = 0;
        out.decodeMode = 2;
        return sdk->Init(phoneNotic, notic, &data, &gc, &video, nullptr, &out, nullptr);
    }
    static mosaic_sdk::QvPicGCSysParam Settings() {
        mosaic_sdk::QvPicGCSysParam gc;
        gc.reconnectIntervalMs = 300;
        gc.connectTimeoutMs = 30000;
        gc.apiConnectTimeoutMs = 30000;
        gc.apiTimeoutMs = 60000;
        return gc;
    }
    int StartGroup() {
        std::vector<const char*> list;
        for (const auto& n : numbers) list.push_back(n.c_str());
        return sdk->Start(list.data(), static_cast<uint32_t>(list.size()));
    }
    // Init, Start, the start's success, control on both nodes and the main phone playing.
    void Play(const mosaic_sdk::QvPicGCSysParam& gc = Settings()) {
        ASSERT_EQ(InitGroup(gc), 0);
        ASSERT_EQ(StartGroup(), 0);
        ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }, 60000)) << "start not reported";
        ASSERT_TRUE(WaitUntil([&] { return Controlled(kNodeA) == 3 && Controlled(kNodeB) == 2; }, 60000));
        ASSERT_TRUE(WaitUntil([&] { return phoneNotic->plays.load() >= 1; }, 60000)) << "main phone not playing";
    }

    // Instances under control on the node's open connections.
    size_t Controlled(const char* nodeNo) const {
        cloudsim::NodeView view;
        if (!cloud->Node(nodeNo, view)) return 0;
        size_t n = 0;
        for (const auto& c : view.connections) n += c.instances.size();
        return n;
    }
    size_t NodeRequests(const char* nodeNo, const std::string& kind) const {
        size_t n = 0;
        for (const auto& m : cloud->NodeMessages(nodeNo)) n += m.kind == kind;
        return n;
    }
    // Input records of a phone of these kinds, in arrival order.
    std::vector<cloudsim::ReceivedMessage> InputsOf(const std::string& instanceNo,
                                                    const std::vector<std::string>& kinds) const {
        std::vector<cloudsim::ReceivedMessage> list;
        for (const auto& m : cloud->Received(instanceNo))
            for (const auto& k : kinds)
                if (m.kind == k) list.push_back(m);
        return list;
    }
    // How many times the phone received this text.
    int TextCount(const std::string& instanceNo, const std::string& text) const {
        int n = 0;
        for (const auto& m : InputsOf(instanceNo, {"inputString"})) n += m.fields["text"].asString() == text;
        return n;
    }
    bool Logged(const std::string& text) const {
        std::lock_guard<std::mutex> lock(m_logMutex);
        for (const auto& l : m_log)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

    std::vector<std::string> numbers;
    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::shared_ptr<mosaic_sdk::IMosaicSdk> sdk;
    std::shared_ptr<GroupRecorder> notic = std::make_shared<GroupRecorder>();
    std::shared_ptr<MainPhoneRecorder> phoneNotic = std::make_shared<MainPhoneRecorder>();

private:
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

}  // namespace mosaic_test
