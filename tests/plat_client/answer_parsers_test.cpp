// Parse rules of the platform's answers, on the parsers directly.
#include <gtest/gtest.h>

#include <string>

#include "answer_parsers.h"
#include "log_recorder.h"

using namespace plat_client;
using plat_test::LogRecorder;

namespace {

std::string Ok(const std::string& data) { return R"({"code":0,"msg":"ok","data":)" + data + "}"; }

const std::string kStream = R"("streamInfo":{"webSocketDomain":"w","webSocketPort":1})";

TEST(AnswerParsers, CodeAndMsgAreRequiredWithTheirKinds) {
    LogRecorder log;
    PhoneConnectRsp rsp;
    EXPECT_FALSE(ParsePhoneConnectRsp(R"({"msg":"ok"})", rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp(R"({"code":"0","msg":"ok"})", rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp(R"({"code":1.5,"msg":"ok"})", rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp(R"([{"code":0,"msg":"ok"}])", rsp));
    EXPECT_EQ(4u, log.CountOf("[PLAT_CLIENT]Json Get [root][code] failed"));
    RefreshSessionRsp refresh;
    EXPECT_FALSE(ParseRefreshSessionRsp(R"({"code":3})", refresh));
    EXPECT_EQ(3, refresh.code);
    EXPECT_FALSE(ParseRefreshSessionRsp(R"({"code":3,"msg":7})", refresh));
    EXPECT_EQ(2u, log.CountOf("[PLAT_CLIENT]Json Get [root][msg] failed"));
    MessageCollectRsp collect;
    EXPECT_FALSE(ParseMessageCollectRsp("", collect));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]parse json[] failed"));
    EXPECT_TRUE(ParseMessageCollectRsp(R"({"code":-4,"msg":"denied"})", collect));
    EXPECT_EQ(-4, collect.code);
}

TEST(AnswerParsers, DataOfAnotherKindEndsTheParseSuccessfully) {
    PhoneConnectRsp phone;
    EXPECT_TRUE(ParsePhoneConnectRsp(R"({"code":60200001,"msg":"busy","data":[1]})", phone));
    EXPECT_EQ(60200001, phone.code);
    EXPECT_EQ("busy", phone.msg);
    ScreenshotRsp shot;
    EXPECT_TRUE(ParseScreenshotRsp(Ok(R"({"instanceNo":"a","picUrl":"b"})"), shot));
    EXPECT_TRUE(shot.data.empty());
    SecurityTokenRsp token;
    EXPECT_TRUE(ParseSecurityTokenRsp(R"({"code":1,"msg":"no","data":null})", token));
    EXPECT_EQ("", token.accessKey);
}

TEST(AnswerParsers, PhoneConnectRequiredKeys) {
    LogRecorder log;
    PhoneConnectRsp rsp;
    EXPECT_FALSE(ParsePhoneConnectRsp(Ok(R"({"sessionId":5,)" + kStream + "}"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [data][sessionId] failed"));
    EXPECT_FALSE(ParsePhoneConnectRsp(Ok(R"({"sessionId":"s","streamInfo":"w:1"})"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get streamInfo failed"));
    EXPECT_FALSE(ParsePhoneConnectRsp(Ok(R"({"sessionId":"s","streamInfo":{"webSocketPort":1}})"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [streamInfo][webSocketDomain] failed"));

    PhoneConnectRsp partial;
    EXPECT_FALSE(ParsePhoneConnectRsp(
        Ok(R"({"sessionId":"s","streamStrategyList":[4],"streamInfo":{"webSocketDomain":"w","webSocketPort":"1"}})"),
        partial));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [streamInfo][webSocketPort] failed"));
    EXPECT_EQ("w", partial.webSocketDomain);
    EXPECT_TRUE(partial.streamStrategyList.empty());  // read only after the port
}

TEST(AnswerParsers, OptionalKeysOfAnotherKindAreSkipped) {
    PhoneConnectRsp rsp;
    ASSERT_TRUE(ParsePhoneConnectRsp(
        Ok(R"({"sessionId":"s","instanceNo":9,"preemption":"yes","streamStrategyList":[1,"2",3.5,4],)"
           R"("sessionSignExpireTime":1234,"sessionExpireTime":"12abc",)"
           R"("streamInfo":{"tcpPort":"80","udpPort":4294967296,"webSocketDomain":"w","webSocketPort":1}})"),
        rsp));
    EXPECT_EQ("", rsp.instanceNo);
    EXPECT_FALSE(rsp.preemption);
    EXPECT_EQ((std::vector<int32_t>{1, 4}), rsp.streamStrategyList);
    EXPECT_EQ(0, rsp.sessionSignExpireTime);  // a JSON number, not a decimal string
    EXPECT_EQ(0, rsp.sessionExpireTime);
    EXPECT_EQ(0, rsp.tcpPort);
    EXPECT_EQ(0, rsp.udpPort);
}

TEST(AnswerParsers, DecimalStringsReadAsZeroUnlessTheyHoldAnInt64) {
    auto read = [](const std::string& text) {
        RefreshSessionRsp rsp;
        EXPECT_TRUE(ParseRefreshSessionRsp(Ok(R"({"sessionId":"s","sessionSignExpireTime":)" + text + "}"), rsp));
        return rsp.sessionSignExpireTime;
    };
    EXPECT_EQ(9223372036854775807LL, read(R"("9223372036854775807")"));
    EXPECT_EQ(0, read(R"("9223372036854775808")"));
    EXPECT_EQ(0, read(R"("")"));
    EXPECT_EQ(0, read(R"(" 12")"));
    EXPECT_EQ(0, read(R"("1e5")"));
    EXPECT_EQ(-7, read(R"("-7")"));
    EXPECT_EQ(0, read("null"));
}

TEST(AnswerParsers, RefreshNeedsSessionIdWhenDataIsThere) {
    LogRecorder log;
    RefreshSessionRsp rsp;
    EXPECT_FALSE(ParseRefreshSessionRsp(Ok(R"({"sessionSignExpireTime":"5"})"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [data][sessionId] failed"));
    EXPECT_TRUE(ParseRefreshSessionRsp(R"({"code":0,"msg":"ok"})", rsp));
}

TEST(AnswerParsers, GroupControlRequiredKeysFailTheWholeParse) {
    LogRecorder log;
    PhoneGroupControlConnectRsp rsp;
    EXPECT_FALSE(ParseGroupControlRsp(
        Ok(R"({"successList":[{"sessionId":"a","gCtrlNodeNo":"n"},{"sessionId":"b"}],"failList":[]})"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [successList][gCtrlNodeNo] failed"));
    EXPECT_EQ(1u, rsp.successList.size());

    const struct {
        const char* data;
        const char* line;
    } cases[] = {
        {R"({"successList":[{"gCtrlNodeNo":"n"}]})", "[PLAT_CLIENT]Json Get [successList][sessionId] failed"},
        {R"({"successList":["x"]})", "[PLAT_CLIENT]Json Get [successList][sessionId] failed"},
        {R"({"failList":[{"errorCode":1}]})", "[PLAT_CLIENT]Json Get [failList][instanceNo] failed"},
        {R"({"failList":[{"instanceNo":"i","errorCode":"1"}]})", "[PLAT_CLIENT]Json Get [failList][errorCode] failed"},
        {R"({"idcServerNodeList":[{"nodeIp":"1","nodePort":2}]})",
         "[PLAT_CLIENT]Json Get [idcServerNodeList][idcServerNodeNo] failed"},
        {R"({"idcServerNodeList":[{"idcServerNodeNo":"n","nodePort":2}]})",
         "[PLAT_CLIENT]Json Get [idcServerNodeList][nodeIp] failed"},
        {R"({"idcServerNodeList":[{"idcServerNodeNo":"n","nodeIp":"1","nodePort":"2"}]})",
         "[PLAT_CLIENT]Json Get [idcServerNodeList][nodePort] failed"},
    };
    for (const auto& c : cases) {
        PhoneGroupControlConnectRsp each;
        EXPECT_FALSE(ParseGroupControlRsp(Ok(c.data), each)) << c.data;
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
    }
    PhoneGroupControlConnectRsp lists;
    EXPECT_TRUE(ParseGroupControlRsp(Ok(R"({"successList":{},"failList":"none"})"), lists));
}

TEST(AnswerParsers, ScreenshotItemsAreRequiredAndTruncatedAt255Bytes) {
    LogRecorder log;
    const std::string exact(255, 'e');
    const std::string longer(256, 'l');
    ScreenshotRsp rsp;
    ASSERT_TRUE(ParseScreenshotRsp(
        Ok(R"([{"instanceNo":")" + exact + R"(","picUrl":")" + longer + R"("}])"), rsp));
    ASSERT_EQ(1u, rsp.data.size());
    EXPECT_EQ(exact, rsp.data[0].instanceNo);
    EXPECT_EQ(longer.substr(0, 255), rsp.data[0].picUrl);

    ScreenshotRsp partial;
    EXPECT_FALSE(ParseScreenshotRsp(Ok(R"([{"instanceNo":"a","picUrl":"u"},{"instanceNo":"b"}])"), partial));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [data][picUrl] failed"));
    EXPECT_EQ(1u, partial.data.size());
    EXPECT_FALSE(ParseScreenshotRsp(Ok(R"([{"picUrl":"u"}])"), partial));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [data][instanceNo] failed"));
}

TEST(AnswerParsers, SecurityTokenNeedsAccessKey) {
    LogRecorder log;
    SecurityTokenRsp rsp;
    EXPECT_FALSE(ParseSecurityTokenRsp(Ok(R"({"accessSecretKey":"x"})"), rsp));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [data][accessKey] failed"));
    SecurityTokenRsp ok;
    EXPECT_TRUE(ParseSecurityTokenRsp(Ok(R"({"accessKey":"k","accessSecretKey":3})"), ok));
    EXPECT_EQ("k", ok.accessKey);
    EXPECT_EQ("", ok.accessSecretKey);
}

TEST(AnswerParsers, HostileDocumentsFailWithoutThrowing) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    PhoneConnectRsp rsp;
    EXPECT_FALSE(ParsePhoneConnectRsp(deep, rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp(std::string("{\"code\":0,\"msg\":\"a\0b\"", 22), rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp("{\"code\":0,\"msg\":\"ok\"} trailing", rsp));
    EXPECT_FALSE(ParsePhoneConnectRsp(R"({"code":99999999999,"msg":"ok"})", rsp));
}

}  // namespace
