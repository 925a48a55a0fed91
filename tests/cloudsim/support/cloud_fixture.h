#pragma once
// The local cloud in-process with its default configuration, and the
// phone-connect that opens a session of an instance.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cloudsim/cloud_sim.h"
#include "signed_call.h"

namespace cloudsim_test {

class CloudFixture : public ::testing::Test {
protected:
    void SetUp() override {
        cloudsim::CloudOptions options;
        options.logLevel = 40;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        ASSERT_EQ(cloud->Start(), 0);
    }

    // phone-connect; the session as the cloud keeps it.
    cloudsim::SessionInfo Connect(const std::string& instanceNo) {
        const Json::Value answer = PhoneConnect(cloud->HttpsUrl(), DemoUser(), instanceNo);
        EXPECT_EQ(answer["code"].asInt(), 0) << answer.toStyledString();
        cloudsim::SessionInfo info;
        EXPECT_TRUE(cloud->LatestSession(instanceNo, info));
        return info;
    }

    static std::string WsUrl(const cloudsim::SessionInfo& info) {
        return "ws://127.0.0.1:" + std::to_string(info.wsPort);
    }

    std::unique_ptr<cloudsim::CloudSim> cloud;
};

}  // namespace cloudsim_test
