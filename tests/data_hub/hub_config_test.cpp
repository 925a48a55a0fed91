// The hub's configuration file and the statistics credentials it keeps there.
#include <json/json.h>

#include "hub_cloud_fixture.h"

using namespace data_hub;
using namespace hub_test;

namespace {

Json::Value Parse(const std::string& text) {
    Json::Value doc;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in(text);
    Json::parseFromStream(builder, in, &doc, &errors);
    return doc;
}

}  // namespace

TEST_F(HubCloudTest, TokenIsAskedForOnceAndSavedBesideTheOtherKeys) {
    { std::ofstream(dir + "/QVConfig.json") << "{\"other\": {\"keep\": [1, 2]}}"; }
    ASSERT_EQ(InitHub(), 0);
    ASSERT_TRUE(WaitUntil([&] { return CountCalls("/stat/message/security-token") == 1; }));
    // The answer arrives, then the hub lets the configuration go at UnInit.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(hub->UnInit(), 0);
    Json::Value doc = Parse(ReadFile("QVConfig.json"));
    ASSERT_TRUE(doc.isObject()) << ReadFile("QVConfig.json");
    EXPECT_EQ(doc["other"]["keep"][1].asInt(), 2);
    EXPECT_EQ(doc["MessageTocken"]["ak"].asString(), cloud->Config().statAccessKey);
    EXPECT_FALSE(doc["MessageTocken"]["sk"].asString().empty());
    EXPECT_NE(ReadFile("QVConfig.json").find("   \"MessageTocken\""), std::string::npos) << "three-space indent";
    EXPECT_TRUE(ReadFile("QVConfig.json.tmp").empty()) << "no temporary file left";
}

TEST_F(HubCloudTest, StoredTokenAvoidsTheRequest) {
    { std::ofstream(dir + "/QVConfig.json") << "{\"MessageTocken\": {\"ak\": \"stat-access-key\", \"sk\": \"abcSECRET12345\"}}"; }
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(QV_STATUS_SUCCESS) >= 1; }));
    EXPECT_EQ(CountCalls("/stat/message/security-token"), 0);
}

TEST_F(HubCloudTest, AnUnreadableFileIsKeptAsideNotOverwritten) {
    const std::string broken = "{\"MessageTocken\": {\"ak\": \"x\"";  // cut short
    { std::ofstream(dir + "/QVConfig.json") << broken; }
    ASSERT_EQ(InitHub(), 0);
    ASSERT_TRUE(WaitUntil([&] { return CountCalls("/stat/message/security-token") == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(hub->UnInit(), 0);
    EXPECT_EQ(ReadFile("QVConfig.json.unreadable"), broken);
    EXPECT_TRUE(Parse(ReadFile("QVConfig.json"))["MessageTocken"].isObject());
}
