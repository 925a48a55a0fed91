// The records' checks and defaults, and the tables built from the platform's
// group-control answer.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "gc_params.h"
#include "group_tables.h"

namespace mosaic_sdk {
namespace {

class ParamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::strcpy(data.baseUrl, "https://127.0.0.1:1");
        std::strcpy(data.userId, "user");
        std::strcpy(data.accessKey, "ak");
        std::strcpy(data.secretKey, "sk");
        base::SetLogCapture([this](int level, const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        });
    }
    void TearDown() override { base::SetLogCapture(nullptr); }
    bool Logged(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    bool Check(const QvPicGCSysParam* gc, const QvPhoneParam* phone = nullptr) {
        return CheckGroupParams(true, &data, gc, phone, nullptr, nullptr, params);
    }

    QvDataParam data;
    GroupParams params;
    std::mutex mutex;
    std::vector<std::string> lines;
};

TEST_F(ParamsTest, EmptyAccountFieldsAndMissingTargetsFail) {
    for (char* field : {data.baseUrl, data.userId, data.accessKey, data.secretKey}) {
        const char first = field[0];
        field[0] = '\0';
        EXPECT_FALSE(Check(nullptr));
        field[0] = first;
    }
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Data param have empty value"));
    EXPECT_FALSE(CheckGroupParams(false, &data, nullptr, nullptr, nullptr, nullptr, params));
    EXPECT_FALSE(CheckGroupParams(true, nullptr, nullptr, nullptr, nullptr, nullptr, params));
    EXPECT_FALSE(params.data);
    EXPECT_TRUE(Check(nullptr));  // an empty main instance is allowed
}

TEST_F(ParamsTest, PictureSettingsAreCheckedAndTheCallersKept) {
    QvPicGCSysParam gc;
    for (int rotate : {0, 90, 180, 270}) {
        gc.picRotate = rotate;
        EXPECT_TRUE(Check(&gc)) << rotate;
    }
    gc.picRotate = 45;
    EXPECT_FALSE(Check(&gc));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Picture param err"));
    EXPECT_FALSE(params.gc);

    const std::vector<std::vector<int>> bad = {{0, 5, 1000}, {101, 5, 1000}, {50, 0, 1000}, {50, 6, 1000},
                                               {50, 5, 199}};
    for (const auto& b : bad) {
        QvPicGCSysParam wrong;
        wrong.picQuality = b[0];
        wrong.picScale = b[1];
        wrong.intervalMs = b[2];
        EXPECT_FALSE(Check(&wrong)) << b[0] << " " << b[1] << " " << b[2];
    }
    QvPicGCSysParam chosen;
    chosen.picQuality = 80;
    chosen.picScale = 2;
    chosen.picRotate = 90;
    chosen.intervalMs = 200;
    chosen.picMode = 1;
    ASSERT_TRUE(Check(&chosen));
    EXPECT_EQ(80, params.gc->picQuality);
    EXPECT_EQ(2, params.gc->picScale);
    EXPECT_EQ(90, params.gc->picRotate);
    EXPECT_EQ(200, params.gc->intervalMs);
    EXPECT_EQ(1, params.gc->picMode);
}

TEST_F(ParamsTest, NullRecordsTakeTheDefaults) {
    ASSERT_TRUE(Check(nullptr));
    EXPECT_TRUE(params.gc->autoReconnect);
    EXPECT_EQ(5000, params.gc->connectTimeoutMs);
    EXPECT_EQ(3000, params.gc->reconnectIntervalMs);
    EXPECT_TRUE(params.gc->secureWebSocket);
    EXPECT_EQ(0, params.gc->picMode);
    EXPECT_EQ(25, params.gc->picQuality);
    EXPECT_EQ(5, params.gc->picScale);
    EXPECT_EQ(1000, params.gc->intervalMs);
    EXPECT_EQ(264, params.phone->codec);
    EXPECT_EQ(720, params.phone->width);
    EXPECT_EQ(1280, params.phone->height);
    EXPECT_EQ(30, params.phone->fps);
    EXPECT_EQ(2048, params.phone->bitrate);
    EXPECT_EQ(5000, params.sys->connectTimeoutMs);
    EXPECT_EQ(1, params.out->showMode);
    EXPECT_EQ(4, params.out->pixelFormat);
}

TEST_F(ParamsTest, PhoneParamNeedsSizeRateAndBitrate) {
    for (int which = 0; which < 4; ++which) {
        QvPhoneParam phone;
        if (which == 0) phone.width = 99;
        if (which == 1) phone.height = 99;
        if (which == 2) phone.fps = 0;
        if (which == 3) phone.bitrate = 0;
        EXPECT_FALSE(Check(nullptr, &phone)) << which;
    }
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Phone param err"));
    QvPhoneParam small;
    small.width = 100;
    small.height = 100;
    EXPECT_TRUE(Check(nullptr, &small));
}

TEST_F(ParamsTest, UnterminatedTextsAreCutTo255Bytes) {
    std::memset(data.userId, 'u', sizeof data.userId);  // no terminator at all
    ASSERT_TRUE(Check(nullptr));
    EXPECT_EQ(255u, std::strlen(params.data->userId));
}

plat_client::PhoneGroupControlConnectRsp Answer() {
    plat_client::PhoneGroupControlConnectRsp answer;
    auto accept = [&](const std::string& no, const std::string& node) {
        plat_client::SessionRecord s;
        s.instanceNo = no;
        s.sessionId = "s-" + no;
        s.gCtrlNodeNo = node;
        answer.successList.push_back(s);
    };
    accept("P-1", "node-a");
    accept("P-2", "node-b");
    accept("P-3", "node-a");
    accept("P-4", "node-b");
    accept("P-5", "node-a");
    answer.failList.push_back({"P-6", 40401, "no"});
    answer.idcServerNodeList.push_back({"node-b", "10.0.0.2", 1});
    answer.idcServerNodeList.push_back({"node-a", "10.0.0.1", 2});
    answer.idcServerNodeList.push_back({"node-b", "127.0.0.1", 3});  // listed twice: the last one holds
    return answer;
}

TEST(GroupTablesTest, NodesOwnContiguousRangesAndRefusedInstancesFollow) {
    GroupTables tables = BuildGroupTables(Answer());
    ASSERT_EQ(6u, tables.instances.size());
    ASSERT_EQ(2u, tables.nodes.size());
    const GCNodeInfo& a = tables.nodes.at("node-a");
    const GCNodeInfo& b = tables.nodes.at("node-b");
    EXPECT_EQ(0, a.firstIndex);
    EXPECT_EQ(2, a.lastIndex);
    EXPECT_EQ(3, b.firstIndex);
    EXPECT_EQ(4, b.lastIndex);
    EXPECT_EQ("127.0.0.1", b.address);
    EXPECT_EQ(3, b.port);
    for (int i = 0; i <= 2; ++i) EXPECT_STREQ("node-a", tables.instances[i].nodeNo);
    for (int i = 3; i <= 4; ++i) EXPECT_STREQ("node-b", tables.instances[i].nodeNo);
    const InstanceStatusInfo& refused = tables.instances[5];
    EXPECT_STREQ("P-6", refused.instanceNo);
    EXPECT_STREQ("", refused.nodeNo);
    EXPECT_EQ(4, refused.state);
    EXPECT_EQ(40401, refused.errCode);
    EXPECT_EQ(5, tables.index.at("P-6"));
    EXPECT_STREQ("s-P-3", tables.Find("P-3")->sessionId);
    EXPECT_EQ(&tables.nodes.at("node-b"), tables.NodeOf("P-4"));
    EXPECT_EQ(nullptr, tables.NodeOf("P-6"));
    const std::vector<std::string> order = {"P-1", "P-2", "P-3", "P-4", "P-5", "P-6"};
    EXPECT_EQ(order, tables.screenshotNos);
}

TEST(GroupTablesTest, GroupingByNodeSetsUnknownNumbersAside) {
    GroupTables tables = BuildGroupTables(Answer());
    std::vector<std::string> unknown;
    auto groups = GroupByNode(tables, {"P-2", "X-9", "P-1", "P-4", "P-6"}, unknown);
    EXPECT_EQ((std::vector<std::string>{"X-9"}), unknown);
    ASSERT_EQ(3u, groups.size());
    EXPECT_EQ((std::vector<std::string>{"P-1"}), groups["node-a"]);
    EXPECT_EQ((std::vector<std::string>{"P-2", "P-4"}), groups["node-b"]);
    EXPECT_EQ((std::vector<std::string>{"P-6"}), groups[""]);  // refused: no node
}

TEST(GroupTablesTest, ErrorTexts) {
    EXPECT_STREQ("success", MosaicErrorText(0));
    EXPECT_STREQ("Http Req for phone-group-control-connect add all node service failed",
                 MosaicErrorText(60711002));
    EXPECT_STREQ("Http Req for screenshot can not get 200", MosaicErrorText(60710004));
    EXPECT_STREQ("", MosaicErrorText(123));
    EXPECT_EQ(1024, IMosaicSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM_1024, 48000));
    EXPECT_EQ(960, IMosaicSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM, 48000));
}

}  // namespace
}  // namespace mosaic_sdk
