// Package framing, request bodies and answer parsers, without a network.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "input_data.h"
#include "json_text.h"
#include "link_harness.h"
#include "node_answers.h"
#include "node_requests.h"
#include "package_codec.h"

namespace fleet_link_test {
namespace {

using namespace fleet_link;

std::string Frame(uint32_t type, uint32_t length, const std::string& body) {
    std::string f;
    for (uint32_t word : {type, length}) {
        for (int shift = 24; shift >= 0; shift -= 8) f.push_back(static_cast<char>((word >> shift) & 0xff));
    }
    return f + body;
}

TEST(NodePackageTest, PackWritesNetworkOrderHeaderAndCompactBodyWithoutNewline) {
    Json::Value body(Json::objectValue);
    body["connId"] = "c 1";
    body["ts"] = Json::Int64(1700000000123);
    auto package = PackPackage(1003, body);
    std::string text = R"({"connId":"c 1","ts":1700000000123})";
    ASSERT_EQ(8 + text.size(), package->size());
    EXPECT_EQ(Frame(1003, static_cast<uint32_t>(text.size()), text), std::string(package->begin(), package->end()));
}

TEST(NodePackageTest, UnpackDropsFramesThatAreNoWholeBinaryPackage) {
    LogRecorder logs;
    UnpackedPackage out;
    EXPECT_FALSE(UnpackPackage("hello", 5, 1, out));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]OnWSRecv Text :hello"));
    EXPECT_FALSE(UnpackPackage("", 0, 3, out));  // close frame

    std::string shortFrame = Frame(1002, 0, "").substr(0, 7);
    size_t before = logs.Lines().size();
    EXPECT_FALSE(UnpackPackage(shortFrame.data(), shortFrame.size(), 2, out));
    EXPECT_EQ(before, logs.Lines().size());  // silently

    std::string longer = Frame(1002, 5, "abc");
    EXPECT_FALSE(UnpackPackage(longer.data(), longer.size(), 2, out));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Get incomplete package header len[5] package len[3]"));

    std::string joined = Frame(1002, 2, "{}") + Frame(1002, 2, "{}");
    EXPECT_FALSE(UnpackPackage(joined.data(), joined.size(), 2, out));  // never joined or split

    std::string empty = Frame(1012, 0, "");
    ASSERT_TRUE(UnpackPackage(empty.data(), empty.size(), 2, out));
    EXPECT_EQ(1012u, out.type);
    EXPECT_EQ(0u, out.bodyLength);
    CommonRsp rsp;
    EXPECT_FALSE(ParseCommonRsp(out.body, out.bodyLength, rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]parse json[] failed"));
}

TEST(NodeRequestTest, RequestBodiesAreCompactWithEveryKey) {
    EXPECT_EQ(R"({"clientType":3,"sdkVersion":""})", WriteCompactJson(BuildRegisterReq("")));
    EXPECT_EQ(R"({"connId":"c","delay":-7})", WriteCompactJson(BuildHeartBeatRsp("c", -7)));
    EXPECT_EQ(R"({"connId":"c","newMainInstanceNo":""})", WriteCompactJson(BuildSwitchMainReq("c", nullptr)));
    EXPECT_EQ(R"({"connId":"c","opData":"{\"isDown\":false,\"key\":-1}","opType":3})",
              WriteCompactJson(BuildInputReq("c", 3, KeyboardInputData(static_cast<int8_t>(255), false))));

    // Fixed text fields are read up to their end even without a terminator.
    StreamConf conf;
    std::memset(&conf, 'x', sizeof conf);
    conf.width = 1;
    conf.height = 2;
    Json::Value start = BuildStartControlReq("c", "m", conf, nullptr, 0);
    EXPECT_EQ(256u, start["streamConf"]["app"].asString().size());
}

TEST(NodeAnswerTest, RegisterAnswerNeedsConnIdAndCode) {
    LogRecorder logs;
    RegisterRsp rsp;
    std::string noMsg = R"({"connId":"c1","code":0})";
    ASSERT_TRUE(ParseRegisterRsp(noMsg.data(), noMsg.size(), rsp));
    EXPECT_EQ("c1", rsp.connId);
    EXPECT_EQ("", rsp.message);
    EXPECT_EQ(0, rsp.ts);

    std::string full = R"({"connId":"c1","code":5,"msg":"m","ts":1700000000000})";
    ASSERT_TRUE(ParseRegisterRsp(full.data(), full.size(), rsp));
    EXPECT_EQ(5, rsp.code);
    EXPECT_EQ("m", rsp.message);
    EXPECT_EQ(1700000000000, rsp.ts);

    std::string wrongOptional = R"({"connId":"c1","code":0,"msg":3,"ts":"x"})";
    RegisterRsp lenient;
    ASSERT_TRUE(ParseRegisterRsp(wrongOptional.data(), wrongOptional.size(), lenient));
    EXPECT_EQ("", lenient.message);
    EXPECT_EQ(0, lenient.ts);

    std::string noCode = R"({"connId":"c1","msg":"m"})";
    EXPECT_FALSE(ParseRegisterRsp(noCode.data(), noCode.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [root][code] failed"));
    std::string codeText = R"({"connId":"c1","code":"0"})";
    EXPECT_FALSE(ParseRegisterRsp(codeText.data(), codeText.size(), rsp));
    std::string notObject = R"(["connId"])";
    EXPECT_FALSE(ParseRegisterRsp(notObject.data(), notObject.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [root][connId] failed"));
}

TEST(NodeAnswerTest, HeartbeatOfTheNodeNeedsNoKey) {
    HeartBeatReq req;
    for (std::string body : {R"({})", R"({"ts":"late","connId":7})", R"([1,2])", R"(5)"}) {
        HeartBeatReq r;
        EXPECT_TRUE(ParseHeartBeatReq(body.data(), body.size(), r)) << body;
        EXPECT_EQ(0, r.ts);
        EXPECT_EQ("", r.connId);
    }
    std::string ok = R"({"connId":"c","ts":-5})";
    ASSERT_TRUE(ParseHeartBeatReq(ok.data(), ok.size(), req));
    EXPECT_EQ(-5, req.ts);
    std::string broken = R"({"ts":)";
    EXPECT_FALSE(ParseHeartBeatReq(broken.data(), broken.size(), req));
}

TEST(NodeAnswerTest, StatusAnswerNeedsEveryKeyOfEveryElement) {
    LogRecorder logs;
    InstanceStatusRsp rsp;
    std::string none = R"({"connId":"c","code":0})";
    ASSERT_TRUE(ParseInstanceStatusRsp(none.data(), none.size(), rsp));
    EXPECT_TRUE(rsp.instances.empty());

    std::string longNo(300, 'n');
    std::string two = R"({"connId":"c","code":1,"msg":"m","instanceList":[)"
                      R"({"instanceNo":"a","state":2,"width":720,"height":1280,"errCode":0,"isProxy":true},)"
                      R"({"instanceNo":")" + longNo + R"(","state":-1,"width":0,"height":0,"errCode":9,"isProxy":false}]})";
    InstanceStatusRsp full;
    ASSERT_TRUE(ParseInstanceStatusRsp(two.data(), two.size(), full));
    ASSERT_EQ(2u, full.instances.size());
    EXPECT_STREQ("a", full.instances[0].instanceNo);
    EXPECT_EQ(2, full.instances[0].state);
    EXPECT_EQ(720, full.instances[0].width);
    EXPECT_EQ(1280, full.instances[0].height);
    EXPECT_TRUE(full.instances[0].isProxy);
    EXPECT_EQ(255u, std::strlen(full.instances[1].instanceNo));
    EXPECT_EQ(9, full.instances[1].errCode);

    std::string noProxy = R"({"connId":"c","code":0,"instanceList":[)"
                          R"({"instanceNo":"a","state":2,"width":1,"height":1,"errCode":0}]})";
    InstanceStatusRsp bad;
    EXPECT_FALSE(ParseInstanceStatusRsp(noProxy.data(), noProxy.size(), bad));
    EXPECT_TRUE(bad.instances.empty());
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [instanceList][isProxy] failed"));
    std::string notElement = R"({"connId":"c","code":0,"instanceList":[7]})";
    EXPECT_FALSE(ParseInstanceStatusRsp(notElement.data(), notElement.size(), bad));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [instanceList][instanceNo] failed"));
}

TEST(NodeAnswerTest, ErrorReportNeedsItsDetailList) {
    LogRecorder logs;
    ErrorRsp rsp;
    std::string good = R"({"connId":"c","errType":7,"errCode":-3,"errDetail":{"instanceList":[)"
                       R"({"instanceNo":"a","errCode":11},{"instanceNo":"b","errCode":12}]}})";
    ASSERT_TRUE(ParseErrorRsp(good.data(), good.size(), rsp));
    EXPECT_EQ(7, rsp.errType);
    EXPECT_EQ(-3, rsp.errCode);
    ASSERT_EQ(2u, rsp.instances.size());
    EXPECT_STREQ("b", rsp.instances[1].instanceNo);
    EXPECT_EQ(12, rsp.instances[1].errCode);

    std::string detailText = R"({"connId":"c","errType":7,"errCode":1,"errDetail":"x"})";
    EXPECT_FALSE(ParseErrorRsp(detailText.data(), detailText.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK][errDetail] is not a object"));
    std::string listObject = R"({"connId":"c","errType":7,"errCode":1,"errDetail":{"instanceList":{}}})";
    EXPECT_FALSE(ParseErrorRsp(listObject.data(), listObject.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK][errDetail][instanceList] is not a array"));
    std::string noType = R"({"connId":"c","errCode":1,"errDetail":{"instanceList":[]}})";
    EXPECT_FALSE(ParseErrorRsp(noType.data(), noType.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [root][errType] failed"));
    std::string elementCode = R"({"connId":"c","errType":1,"errCode":1,"errDetail":{"instanceList":[{"instanceNo":"a"}]}})";
    EXPECT_FALSE(ParseErrorRsp(elementCode.data(), elementCode.size(), rsp));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Json Get [instanceList][errCode] failed"));
}

// Feeds a body to every parser; none may crash, whatever it holds.
void ParseWithEveryParser(const std::string& body) {
    RegisterRsp a;
    HeartBeatReq b;
    CommonRsp c;
    InstanceStatusRsp d;
    ErrorRsp e;
    ParseRegisterRsp(body.data(), body.size(), a);
    ParseHeartBeatReq(body.data(), body.size(), b);
    ParseCommonRsp(body.data(), body.size(), c);
    ParseInstanceStatusRsp(body.data(), body.size(), d);
    ParseErrorRsp(body.data(), body.size(), e);
}

TEST(NodeAnswerTest, RandomTruncatedAndHostileInputIsDroppedWithoutCrash) {
    LogRecorder logs;
    std::mt19937 random(20240611);
    const std::vector<std::string> samples = {
        R"({"connId":"c","code":0,"msg":"m","instanceList":[{"instanceNo":"a","state":2,"width":1,"height":1,"errCode":0,"isProxy":true}]})",
        R"({"connId":"c","errType":7,"errCode":-3,"errDetail":{"instanceList":[{"instanceNo":"a","errCode":11}]}})",
        R"({"connId":"c","code":0,"ts":1700000000000})",
    };
    for (const std::string& sample : samples) {
        for (size_t cut = 0; cut < sample.size(); ++cut) ParseWithEveryParser(sample.substr(0, cut));
        for (int round = 0; round < 300; ++round) {
            std::string mutated = sample;
            for (int k = 0; k < 3; ++k) mutated[random() % mutated.size()] = static_cast<char>(random() % 256);
            ParseWithEveryParser(mutated);
        }
    }
    for (int round = 0; round < 500; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& ch : bytes) ch = static_cast<char>(random() % 256);
        ParseWithEveryParser(bytes);
        UnpackedPackage out;
        if (UnpackPackage(bytes.data(), bytes.size(), 2, out)) ParseWithEveryParser(std::string(out.body, out.bodyLength));
    }
    // Nesting far beyond the reader's limit, and huge numbers.
    ParseWithEveryParser(std::string(100000, '[') + std::string(100000, ']'));
    ParseWithEveryParser(R"({"connId":"c","code":1e400,"errType":99999999999,"errCode":-1e308})");
    ParseWithEveryParser(std::string("{\"connId\":\"\0\",\"code\":0}", 23));
}

}  // namespace
}  // namespace fleet_link_test
