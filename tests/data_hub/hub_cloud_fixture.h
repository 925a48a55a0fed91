#pragma once
// A local cloud in the test process and a hub pointed at it, run from a
// fresh working folder (the hub keeps its configuration file there).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cloudsim/cloud_sim.h"
#include "hub_recorder.h"

namespace hub_test {

class HubCloudTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/hub_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        cloudsim::CloudOptions options;
        options.logLevel = 60;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        std::string error;
        ASSERT_EQ(cloud->Start(&error), 0) << error;
        setenv("TESSIVO_STAT_URL", cloud->HttpsUrl().c_str(), 1);
    }
    void TearDown() override {
        hub->UnInit();
        cloud.reset();
    }

    int InitHub(const data_hub::QvDataSystemParam* system = nullptr, const std::string& instance = "CP-DEMO-0001") {
        data_hub::QvVideoParam video;
        video.fps = 10;
        return hub->Init(cloud->HttpsUrl().c_str(), "demo-user", "demo-access-key", "demo-secret-key",
                         instance.c_str(), 0, notic, &video, system);
    }
    int CountCalls(const std::string& path) {
        int n = 0;
        for (auto& call : cloud->ApiCalls()) n += call.path == path;
        return n;
    }
    bool Received(const std::string& instance, const std::string& kind) {
        for (auto& m : cloud->Received(instance))
            if (m.kind == kind) return true;
        return false;
    }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(dir + "/" + name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir;
    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::shared_ptr<data_hub::IDataHub> hub = data_hub::IDataHub::Create();
    std::shared_ptr<HubRecorder> notic = std::make_shared<HubRecorder>();
};

}  // namespace hub_test
