#pragma once
// A local cloud in the test process and an SDK object pointed at it, run from
// a fresh working folder (the session layer keeps its configuration file there).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "cloudsim/cloud_sim.h"
#include "phone_recorder.h"

namespace handset_test {

constexpr const char* kInstance = "CP-DEMO-0001";

class SdkCloudTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/handset_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        QvLogParam log{};
        log.level = 0;
        std::strcpy(log.directory, (dir + "/QVLog").c_str());
        std::strcpy(log.name, "HANDSET_SDK");
        log.fileSizeKb = 1024;
        log.fileCount = 1;
        handset_sdk::IHandsetSdk::SetLogParam(&log);
        base::SetLogCapture([this](int level, const std::string& line) {
            std::lock_guard<std::mutex> lock(logMutex);
            logLines.push_back(line);
        });
        cloudsim::CloudOptions options;
        options.logLevel = 60;
        options.uplink = uplinkRequest;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        std::string error;
        ASSERT_EQ(cloud->Start(&error), 0) << error;
        setenv("TESSIVO_STAT_URL", cloud->HttpsUrl().c_str(), 1);
        sdk = handset_sdk::IHandsetSdk::CreateQVPhone();
    }
    void TearDown() override {
        if (sdk) sdk->Uninit();
        sdk.reset();
        cloud.reset();
        base::SetLogCapture(nullptr);
    }

    handset_sdk::QvDataParam Data(const std::string& instance = kInstance) {
        handset_sdk::QvDataParam data;
        std::strcpy(data.baseUrl, cloud->HttpsUrl().c_str());
        std::strcpy(data.userId, "demo-user");
        std::strcpy(data.accessKey, "demo-access-key");
        std::strcpy(data.secretKey, "demo-secret-key");
        std::strcpy(data.instanceNo, instance.c_str());
        return data;
    }
    static handset_sdk::QvPhoneParam SlowVideo() {
        handset_sdk::QvPhoneParam video;
        video.fps = 10;
        return video;
    }
    static handset_sdk::QVOutParam OutMode() {
        handset_sdk::QVOutParam out;
        out.showMode = 0;
        out.decodeMode = 2;
        return out;
    }
    int InitSdk(const handset_sdk::QVOutParam& out) {
        const handset_sdk::QvDataParam data = Data();
        const handset_sdk::QvPhoneParam video = SlowVideo();
        return sdk->Init(notic, &data, &video, nullptr, &out);
    }
    // Init, Start and wait for the play result.
    void Play(const handset_sdk::QVOutParam& out) {
        ASSERT_EQ(InitSdk(out), 0);
        ASSERT_EQ(sdk->Start(), 0);
        ASSERT_TRUE(WaitUntil([&] { return !notic->Plays().empty(); })) << "no play result";
        ASSERT_EQ(notic->Plays()[0].code, 0);
    }

    std::vector<cloudsim::ReceivedMessage> Received(const std::string& kind) {
        std::vector<cloudsim::ReceivedMessage> out;
        for (auto& m : cloud->Received(kInstance))
            if (m.kind == kind) out.push_back(m);
        return out;
    }
    // Key records as (key, down) in arrival order.
    std::vector<std::pair<int, bool>> Keys() {
        std::vector<std::pair<int, bool>> keys;
        for (auto& m : Received("key")) keys.emplace_back(m.fields["key"].asInt(), m.fields["down"].asBool());
        return keys;
    }
    std::vector<std::vector<int>> TouchPoints(int action) {
        std::vector<std::vector<int>> points;
        for (auto& m : Received("touch")) {
            if (m.fields["action"].asInt() != action) continue;
            for (auto& p : m.fields["points"]) points.push_back({p[0].asInt(), p[1].asInt()});
        }
        return points;
    }
    bool Logged(const std::string& text) {
        std::lock_guard<std::mutex> lock(logMutex);
        for (auto& l : logLines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    void ClearLog() {
        std::lock_guard<std::mutex> lock(logMutex);
        logLines.clear();
    }

    std::string dir;
    cloudsim::UplinkRequest uplinkRequest;  // set before SetUp to change what the phone asks for
    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::shared_ptr<handset_sdk::IHandsetSdk> sdk;
    std::shared_ptr<PhoneRecorder> notic = std::make_shared<PhoneRecorder>();
    std::mutex logMutex;
    std::vector<std::string> logLines;
};

}  // namespace handset_test
