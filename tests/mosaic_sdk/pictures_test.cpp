// The picture flow: the screenshot request, URL mode, data mode with
// FlushPic's rate limit, and the screenshot answer's failures.
#include "group_peer_fixture.h"

namespace mosaic_test {
namespace {

class PicturesTest : public GroupPeerTest {
protected:
    void ScriptPictures(const std::vector<std::string>& numbers) {
        Json::Value data(Json::arrayValue);
        for (const auto& n : numbers) {
            Json::Value item(Json::objectValue);
            item["instanceNo"] = n;
            item["picUrl"] = pictures->BaseUrl() + "/" + (n == "P-4" ? "missing" : n) + ".jpg";
            data.append(item);
        }
        platform->Script(platform_peer::kScreenshotPath, 200, OkBody(data));
    }
};

TEST_F(PicturesTest, UrlModeHandsTheListOnceAndStoresTheUrls) {
    ScriptPictures({"P-1", "P-3", "X-9"});
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.picQuality = 60;
    gc.picScale = 3;
    gc.picRotate = 90;
    gc.intervalMs = 500;
    StartReady(gc);
    ASSERT_TRUE(WaitUntil([&] { return notic->UrlNotices() == 1; }));
    const auto urls = notic->Urls();
    ASSERT_EQ(3u, urls.size());
    EXPECT_STREQ("X-9", urls[2].instanceNo);  // not in the table, still handed on
    sdk->QueryInstanceStatus();
    const auto table = notic->Table();
    EXPECT_EQ(pictures->BaseUrl() + "/P-3.jpg", std::string(table[1].picUrl));
    EXPECT_STREQ("", table[3].picUrl);

    // The caller's picture settings and every instance, accepted ones first.
    const auto calls = platform->CallsTo(platform_peer::kScreenshotPath);
    ASSERT_EQ(1u, calls.size());
    const Json::Value& body = calls[0].verified.body;
    EXPECT_EQ(60, body["pictureQuality"].asInt());
    EXPECT_EQ(3, body["pictureScale"].asInt());
    EXPECT_EQ(90, body["pictureRotate"].asInt());
    EXPECT_EQ(500, body["intervalTime"].asInt());
    std::vector<std::string> numbers;
    for (auto& n : body["instanceNos"]) numbers.push_back(n.asString());
    EXPECT_EQ(kGroup, numbers);

    EXPECT_EQ(-1, sdk->FlushPic());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Out pic url model can not get data", 60));
}

TEST_F(PicturesTest, DataModeDownloadsFollowersAtMostOncePerInterval) {
    ScriptPictures({"P-1", "P-2", "P-3", "P-4", "P-5"});
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.picMode = 1;
    ScriptTwoNodes();
    ASSERT_EQ(0, InitGroup(gc, "P-1"));
    EXPECT_EQ(-1, sdk->FlushPic());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]FlushPic not ready", 40));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return sdk->FlushPic() == 0; })) << "pictures never became ready";
    // P-1 is the main phone; P-4's picture is missing (only logged); P-6 has no URL.
    ASSERT_TRUE(WaitUntil([&] { return notic->PictureCount() == 3; }));
    ASSERT_TRUE(WaitUntil([&] { return Logged("[MOSAIC_SDK]Get pic get http code [404]", 60); }));
    auto got = notic->Pictures();
    EXPECT_EQ(0u, got.count("P-1"));
    EXPECT_EQ("picture of /P-3.jpg", got["P-3"].at(0));
    EXPECT_EQ(0, notic->UrlNotices());

    clockMs += 1000;
    EXPECT_EQ(-1, sdk->FlushPic());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]FlushPic too quick", 40));
    clockMs += 1;
    EXPECT_EQ(0, sdk->FlushPic());
    ASSERT_TRUE(WaitUntil([&] { return notic->PictureCount() == 6; }));
    EXPECT_EQ(2u, notic->Pictures()["P-5"].size());
}

TEST_F(PicturesTest, AnotherModeDeliversNothing) {
    ScriptPictures({"P-1", "P-2"});
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.picMode = 2;
    StartReady(gc);
    ASSERT_TRUE(WaitUntil([&] {
        sdk->QueryInstanceStatus();
        auto table = notic->Table();
        return !table.empty() && table[0].picUrl[0] != '\0';
    }));
    EXPECT_EQ(-1, sdk->FlushPic());
    EXPECT_EQ(0, notic->UrlNotices());
    EXPECT_EQ(0u, notic->PictureCount());
}

TEST_F(PicturesTest, ScreenshotFailuresAreReportedOnce) {
    platform->Script(platform_peer::kScreenshotPath, 503, "busy");
    StartReady();
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(60710004) == 1; }));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Screenshot get http code [503]", 60));
    EXPECT_EQ(2u, notic->Errors().size());  // the start's success and this one
}

TEST_F(PicturesTest, ScreenshotRefusalPassesThePlatformCode) {
    platform->Script(platform_peer::kScreenshotPath, 200, R"({"code":40302,"msg":"no pictures"})");
    StartReady();
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(40302) == 1; }));
    for (const auto& e : notic->Errors()) {
        if (e.first == 40302) {
            EXPECT_EQ("no pictures", e.second);
        }
    }
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Screenshot get code [40302]", 60));
}

}  // namespace
}  // namespace mosaic_test
