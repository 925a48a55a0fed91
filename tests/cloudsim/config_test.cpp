// The configuration file and fault scripts: what they accept and what they
// refuse, with a message that says why.
#include <gtest/gtest.h>

#include <map>

#include "cloudsim/cloud_config.h"
#include "cloudsim/fault_script.h"
#include "command_line.h"

namespace cloudsim {
namespace {

TEST(CloudConfig, DefaultRoundTripsThroughItsJson) {
    CloudConfig parsed;
    ASSERT_EQ(ParseCloudConfig(CloudConfigToJson(DefaultCloudConfig()), parsed), "");
    ASSERT_GE(parsed.instances.size(), 3u);
    const SimInstance* first = parsed.FindInstance("CP-DEMO-0001");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->userId, "demo-user");
    ASSERT_NE(parsed.FindUserByAccessKey("demo-access-key"), nullptr);
    EXPECT_EQ(parsed.FindUserByAccessKey("demo-access-key")->secretKey, "demo-secret-key");
    EXPECT_EQ(parsed.statSecretKey, DefaultCloudConfig().statSecretKey);
}

TEST(CloudConfig, DefaultGroupSpansTwoNodesWithMixedScreensAndARefusal) {
    CloudConfig parsed;
    ASSERT_EQ(ParseCloudConfig(CloudConfigToJson(DefaultCloudConfig()), parsed), "");
    ASSERT_EQ(parsed.groups.size(), 1u);
    const SimGroup& group = parsed.groups[0];
    ASSERT_EQ(group.instanceNos.size(), 7u);
    std::map<std::string, int> perNode;
    const SimInstance* main = parsed.FindInstance(group.instanceNos[0]);
    ASSERT_NE(main, nullptr);
    bool otherSize = false;
    for (size_t i = 0; i + 1 < group.instanceNos.size(); ++i) {
        const SimInstance* instance = parsed.FindInstance(group.instanceNos[i]);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(instance->userId, "demo-user");
        EXPECT_EQ(instance->groupRefuseCode, 0);
        ++perNode[instance->groupNode];
        otherSize = otherSize || instance->screenWidth != main->screenWidth;
    }
    EXPECT_EQ(perNode, (std::map<std::string, int>{{"gc-node-01", 3}, {"gc-node-02", 3}}));
    EXPECT_TRUE(otherSize);
    EXPECT_EQ(parsed.FindInstance(group.instanceNos.back())->groupRefuseCode, 40901);
    ASSERT_EQ(parsed.groupControlNodes.size(), 2u);
    EXPECT_EQ(parsed.groupControlNodes[0].nodeNo, "gc-node-02");  // listed out of order on purpose
    EXPECT_FALSE(parsed.groupControlNodes[0].external);
}

TEST(CloudConfig, AddGroupSpreadsPhonesOverNodesInTheirGivenOrder) {
    CloudConfig config = DefaultCloudConfig();
    GroupSpec spec;
    spec.prefix = "T-";
    spec.nodeNos = {"n-c", "n-a", "n-b"};
    spec.phones = 5;
    spec.refusedCode = 40999;
    const auto numbers = AddGroup(config, spec);
    ASSERT_EQ(numbers, (std::vector<std::string>{"T-01", "T-02", "T-03", "T-04", "T-05", "T-06"}));
    EXPECT_EQ(config.FindInstance("T-01")->groupNode, "n-c");
    EXPECT_EQ(config.FindInstance("T-03")->groupNode, "n-b");
    EXPECT_EQ(config.FindInstance("T-04")->groupNode, "n-c");
    EXPECT_EQ(config.FindInstance("T-02")->screenWidth, 540);
    EXPECT_EQ(config.FindInstance("T-06")->groupRefuseCode, 40999);
    CloudConfig parsed;
    EXPECT_EQ(ParseCloudConfig(CloudConfigToJson(config), parsed), "");
    EXPECT_EQ(parsed.groups.size(), 2u);
}

TEST(CloudConfig, RefusesInconsistentFiles) {
    const std::string user = R"({"userId":"u","accessKey":"ak","secretKey":"sk"})";
    auto parse = [](const std::string& text) {
        CloudConfig config;
        return ParseCloudConfig(text, config);
    };
    EXPECT_NE(parse("not json").find("not JSON"), std::string::npos);
    EXPECT_NE(parse(R"({"users":[],"instances":[]})").find("users"), std::string::npos);
    EXPECT_NE(parse(R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"A","userId":"nobody"}]})")
                  .find("unknown user"),
              std::string::npos);
    EXPECT_NE(parse(R"({"users":[)" + user + "," + user + R"(],"instances":[{"instanceNo":"A","userId":"u"}]})")
                  .find("repeats"),
              std::string::npos);
    EXPECT_NE(parse(R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"../x","userId":"u"}]})")
                  .find("may hold only"),
              std::string::npos);
    EXPECT_NE(parse(R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"A","userId":"u"}],)"
                    R"("statistics":{"accessKey":"ak","secretKey":"s"}})")
                  .find("also a user's"),
              std::string::npos);
    CloudConfig config;
    EXPECT_EQ(ParseCloudConfig(R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"A","userId":"u"}],)"
                               R"("groupControlNodes":[{"nodeNo":"n1","ip":"127.0.0.1","port":9000}]})",
                               config),
              "");
    ASSERT_EQ(config.groupControlNodes.size(), 1u);
    EXPECT_EQ(config.instances[0].name, "A");
    const std::string one = R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"A","userId":"u")";
    EXPECT_NE(parse(one + R"(,"screenWidth":721}]})").find("even"), std::string::npos);
    EXPECT_NE(parse(one + R"(,"screenWidth":1280,"screenHeight":720}]})").find("short side"), std::string::npos);
    EXPECT_NE(parse(one + R"(,"groupNode":"n9"}]})").find("unknown node"), std::string::npos);
    EXPECT_NE(parse(one + R"(}],"groupControlNodes":[{"nodeNo":"n","ip":"10.0.0.1","port":1}]})").find("127.0.0.1"),
              std::string::npos);
    EXPECT_NE(parse(one + R"(}],"groups":[{"name":"g","instanceNos":["B"]}]})").find("unknown instance"),
              std::string::npos);
    EXPECT_EQ(config.instances[0].channel, "Lumet");
    EXPECT_NE(parse(R"({"users":[)" + user + R"(],"instances":[{"instanceNo":"A","userId":"u","channel":"x"}]})")
                  .find("\"channel\" must be"),
              std::string::npos);
}

TEST(FaultScript, ReadsKnownFieldsAndRefusesOthers) {
    Json::Value json(Json::objectValue);
    json["dropAfterPackages"] = 5;
    json["noDelayEcho"] = true;
    FaultScript script;
    ASSERT_EQ(FaultScriptFromJson(json, script), "");
    EXPECT_EQ(script.dropAfterPackages, 5);
    EXPECT_TRUE(script.noDelayEcho);
    EXPECT_TRUE(script.HasStreamFault());
    EXPECT_FALSE(script.HasApiFault());

    json["dropAfterPackage"] = 1;
    EXPECT_NE(FaultScriptFromJson(json, script).find("unknown fault"), std::string::npos);
    Json::Value bad(Json::objectValue);
    bad["httpStatus"] = 42;
    EXPECT_NE(FaultScriptFromJson(bad, script), "");
    bad["httpStatus"] = "500";
    EXPECT_NE(FaultScriptFromJson(bad, script), "");
}

TEST(CommandLine, ParsesPortsAndRefusesUnknownArguments) {
    CommandLine line;
    ASSERT_EQ(ParseCommandLine({"--https-port", "8443", "--http-port", "8080", "--stream-ws"}, line), "");
    EXPECT_EQ(line.httpsPort, 8443);
    EXPECT_EQ(line.httpPort, 8080);
    EXPECT_FALSE(line.streamTls);
    EXPECT_NE(ParseCommandLine({"--https-port", "70000"}, line), "");
    EXPECT_NE(ParseCommandLine({"--http-port"}, line), "");
    EXPECT_NE(ParseCommandLine({"--bogus"}, line), "");
    EXPECT_NE(ParseCommandLine({"--https-port", "9000", "--http-port", "9000"}, line), "");
}

}  // namespace
}  // namespace cloudsim
