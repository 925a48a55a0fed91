// The platform API of the local cloud over HTTPS and HTTP, called the way the
// desktop client calls it.
#include <gtest/gtest.h>

#include "cloudsim/cloud_sim.h"
#include "picture_decoder.h"
#include "signed_call.h"

namespace cloudsim_test {
namespace {

class PlatformApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        options.logLevel = 40;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        ASSERT_EQ(cloud->Start(), 0);
    }

    cloudsim::CloudOptions options;
    std::unique_ptr<cloudsim::CloudSim> cloud;
    const Credentials user = DemoUser();
};

TEST_F(PlatformApiTest, SignedPhoneConnectOpensASessionWithItsStreamServer) {
    for (const std::string& base : {cloud->HttpsUrl(), cloud->HttpUrl()}) {
        const Json::Value answer = PhoneConnect(base, user, "CP-DEMO-0001");
        ASSERT_EQ(answer["code"].asInt(), 0) << answer.toStyledString();
        const Json::Value& data = answer["data"];
        cloudsim::SessionInfo session;
        ASSERT_TRUE(cloud->LatestSession("CP-DEMO-0001", session));
        EXPECT_EQ(data["sessionId"].asString(), session.sessionId);
        EXPECT_EQ(data["instanceNo"].asString(), "CP-DEMO-0001");
        EXPECT_EQ(data["streamInfo"]["webSocketDomain"].asString(), "127.0.0.1");
        EXPECT_EQ(data["streamInfo"]["webSocketPort"].asInt(), session.wssPort);
        EXPECT_TRUE(data["sessionSignExpireTime"].isString());
        EXPECT_GT(std::stoll(data["sessionSignExpireTime"].asString()), NowMs());
    }
    // The second connect replaced the first session.
    int live = 0;
    for (const auto& info : cloud->Sessions()) live += info.ended ? 0 : 1;
    EXPECT_EQ(live, 1);
    const auto calls = cloud->ApiCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].path, "/sdk/instance/phone-connect");
    EXPECT_EQ(calls[0].instanceNo, "CP-DEMO-0001");
    EXPECT_EQ(calls[0].error, "");
}

TEST_F(PlatformApiTest, UnsignedOrWronglySignedCallsAreRefusedWithTheReason) {
    const int64_t ms = NowMs();
    const std::string body = Styled(PhoneConnectBody(user.userId, "CP-DEMO-0001", ms));
    const std::string url = cloud->HttpsUrl() + "/sdk/instance/phone-connect";

    auto expectRefused = [](const peers::HttpClientReply& reply, const std::string& reason) {
        ASSERT_EQ(reply.status, 200);
        const Json::Value answer = ParseJson(reply.body);
        EXPECT_EQ(answer["code"].asInt(), 40101) << reply.body;
        EXPECT_NE(answer["msg"].asString().find(reason), std::string::npos) << answer["msg"].asString();
        EXPECT_FALSE(answer.isMember("data"));
    };
    expectRefused(peers::HttpFetch("POST", url, body, {{"Content-Type", "application/json"}}), "header");
    expectRefused(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-connect", body, user.accessKey, "wrong", ms),
                  "signature mismatch");
    expectRefused(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-connect", body, "nobody", user.secretKey, ms),
                  "unknown access key");
    // Signed right, but the ticket names another time than the date header.
    expectRefused(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-connect", body, user.accessKey,
                             user.secretKey, ms + 1),
                  "clientTicket");
    // Signed right over a body that was changed afterwards.
    peers::HeaderList headers = SignedHeaders(user.accessKey, user.secretKey, ms, body);
    std::string changed = body;
    changed.replace(changed.find("CP-DEMO-0001"), 12, "CP-DEMO-0002");
    expectRefused(peers::HttpFetch("POST", url, changed, headers), "signature mismatch");

    EXPECT_TRUE(cloud->Sessions().empty());
    for (const auto& call : cloud->ApiCalls()) EXPECT_NE(call.error, "");
}

TEST_F(PlatformApiTest, InstancesOnlyAnswerTheirOwner) {
    EXPECT_EQ(PhoneConnect(cloud->HttpsUrl(), GuestUser(), "CP-DEMO-0001")["code"].asInt(), 40301);
    EXPECT_EQ(PhoneConnect(cloud->HttpsUrl(), user, "CP-NOPE")["code"].asInt(), 40401);
    // userId of the body must be the key's user.
    const int64_t ms = NowMs();
    const Json::Value answer = ParseJson(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-connect",
                                                    Styled(PhoneConnectBody("guest", "CP-GUEST-0001", ms)),
                                                    user.accessKey, user.secretKey, ms)
                                             .body);
    EXPECT_EQ(answer["code"].asInt(), 40103);
    EXPECT_TRUE(cloud->Sessions().empty());
}

TEST_F(PlatformApiTest, RefreshSessionRenewsTheIdAndAcceptsAnyIdTheSessionHad) {
    const std::string first = PhoneConnect(cloud->HttpsUrl(), user, "CP-DEMO-0002")["data"]["sessionId"].asString();
    const Json::Value renewed = RefreshSession(cloud->HttpsUrl(), user, first);
    ASSERT_EQ(renewed["code"].asInt(), 0) << renewed.toStyledString();
    const std::string second = renewed["data"]["sessionId"].asString();
    EXPECT_NE(second, first);
    // A client that asks again with the old id before the answer arrived still gets a newer id.
    const std::string third = RefreshSession(cloud->HttpsUrl(), user, first)["data"]["sessionId"].asString();
    EXPECT_NE(third, second);
    cloudsim::SessionInfo info;
    ASSERT_TRUE(cloud->LatestSession("CP-DEMO-0002", info));
    EXPECT_EQ(info.sessionId, third);
    EXPECT_EQ(info.formerIds, (std::vector<std::string>{first, second}));

    EXPECT_EQ(RefreshSession(cloud->HttpsUrl(), user, "SID-unknown")["code"].asInt(), 40402);
    EXPECT_EQ(RefreshSession(cloud->HttpsUrl(), GuestUser(), third)["code"].asInt(), 40301);
}

TEST_F(PlatformApiTest, StatisticsTokenHandsOutTheSecretTheClientTrimsAndCollectChecksIt) {
    const peers::HttpClientReply token = peers::HttpFetch(
        "POST", cloud->HttpsUrl() + "/stat/message/security-token", "", {{"Content-Type", "application/json"}});
    const Json::Value answer = ParseJson(token.body);
    ASSERT_EQ(answer["code"].asInt(), 0) << token.body;
    const std::string accessKey = answer["data"]["accessKey"].asString();
    std::string secret = answer["data"]["accessSecretKey"].asString();
    ASSERT_GE(secret.size(), 8u);
    secret = secret.substr(3, secret.size() - 8);  // what the client keeps
    EXPECT_EQ(secret, cloud->Config().statSecretKey);

    Json::Value message(Json::objectValue);
    message["metricType"] = "STAT_INFO";
    message["collectTime"] = static_cast<Json::Int64>(NowMs());
    message["collectSource"] = "WINDOWS_SDK";
    message["collectType"] = "START_PLAY";
    message["businessType"] = "CLOUD_PHONE";
    for (const char* key : {"sessionId", "instanceNo", "protocolType", "controlIp", "port", "errorCode", "sdkType",
                            "sdkVersion1", "sdkVersion2", "requestUrl", "responseBody", "appName"}) {
        message["data"][key] = "";
    }
    for (const char* key : {"startPlayTime", "firstFrameTime", "endPlayTime", "reconnectCount", "reconnectStartTime",
                            "reconnectFailTime", "reconnectSuccessTime", "reconnectResult"}) {
        message["data"][key] = 0;
    }
    message["osInfo"]["isPc"] = true;
    const std::string body = Styled(message);
    const Json::Value collected =
        ParseJson(PostSigned(cloud->HttpsUrl(), "/stat/message/collect", body, accessKey, secret).body);
    EXPECT_EQ(collected["code"].asInt(), 0) << collected["msg"].asString();
    EXPECT_EQ(ParseJson(PostSigned(cloud->HttpsUrl(), "/stat/message/collect", body, user.accessKey,
                                   user.secretKey)
                            .body)["code"]
                  .asInt(),
              40102);
    const auto calls = cloud->ApiCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].body["collectType"].asString(), "START_PLAY");
}

TEST_F(PlatformApiTest, ScreenshotAnswerNamesJpegUrlsOfTheRequestedShape) {
    Json::Value body(Json::objectValue);
    body["instanceNos"].append("CP-DEMO-0001");
    body["instanceNos"].append("CP-GUEST-0001");  // not this user's: left out
    body["pictureQuality"] = 70;
    body["pictureScale"] = 3;  // three fifths
    body["pictureRotate"] = 1;
    body["intervalTime"] = 1000;
    const Json::Value answer = ParseJson(
        PostSigned(cloud->HttpUrl(), "/sdk/instance/screenshot", Styled(body), user.accessKey, user.secretKey).body);
    ASSERT_EQ(answer["code"].asInt(), 0);
    ASSERT_EQ(answer["data"].size(), 1u);
    EXPECT_EQ(answer["data"][0]["instanceNo"].asString(), "CP-DEMO-0001");
    const std::string url = answer["data"][0]["picUrl"].asString();
    ASSERT_EQ(url.rfind(cloud->HttpUrl() + "/screenshot/CP-DEMO-0001.jpg", 0), 0u) << url;

    const peers::HttpClientReply picture = peers::HttpFetch("GET", url);
    ASSERT_EQ(picture.status, 200);
    Picture decoded;
    ASSERT_TRUE(DecodeJpeg(picture.body, decoded));
    EXPECT_EQ(decoded.width, 768);  // three fifths of 1280 x 720, turned a quarter
    EXPECT_EQ(decoded.height, 432);
    EXPECT_EQ(peers::HttpFetch("GET", cloud->HttpUrl() + "/screenshot/CP-NOPE.jpg").status, 404);
}

TEST_F(PlatformApiTest, GroupControlConnectNeedsANode) {
    cloud->Stop();
    options.config.groupControlNodes.clear();
    cloud = std::make_unique<cloudsim::CloudSim>(options);
    ASSERT_EQ(cloud->Start(), 0);
    Json::Value body(Json::objectValue);
    body["userId"] = user.userId;
    body["instanceNos"].append("CP-DEMO-0001");
    body["instanceNos"].append("CP-NOPE");
    auto call = [&] {
        const int64_t ms = NowMs();
        body["clientTicket"] = ClientTicket(user.userId, ms);
        return ParseJson(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-group-control-connect", Styled(body),
                                    user.accessKey, user.secretKey, ms)
                             .body);
    };
    Json::Value answer = call();
    ASSERT_EQ(answer["code"].asInt(), 0) << answer.toStyledString();
    EXPECT_EQ(answer["data"]["successList"].size(), 0u);
    ASSERT_EQ(answer["data"]["failList"].size(), 2u);
    EXPECT_EQ(answer["data"]["failList"][0]["errorCode"].asInt(), 50301);
    EXPECT_EQ(answer["data"]["failList"][1]["errorCode"].asInt(), 40401);

    cloud->SetGroupControlNodes({{"gc-1", "127.0.0.1", 9100}});
    answer = call();
    ASSERT_EQ(answer["data"]["successList"].size(), 1u);
    const Json::Value& session = answer["data"]["successList"][0];
    EXPECT_EQ(session["gCtrlNodeNo"].asString(), "gc-1");
    EXPECT_FALSE(session["sessionId"].asString().empty());
    EXPECT_EQ(answer["data"]["idcServerNodeList"][0]["nodePort"].asInt(), 9100);
    EXPECT_EQ(answer["data"]["failList"].size(), 1u);
}

}  // namespace
}  // namespace cloudsim_test
