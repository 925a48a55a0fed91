#pragma once
// A group against local peers: the platform peer answers the group-control
// and screenshot calls as scripted, two node peers play the nodes, and a
// plain HTTP server serves pictures. The group object is made with a clock
// the test moves, so FlushPic's rate limit is tested without waiting.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <json/json.h>

#include "base/base_log.h"
#include "group_recorder.h"
#include "peers/http_server.h"
#include "peers/node_peer.h"
#include "pic_gc_control.h"
#include "platform_peer/platform_peer.h"

namespace mosaic_test {

constexpr const char* kUserId = "group-user";
constexpr const char* kAccessKey = "group-access-key";
constexpr const char* kSecretKey = "group-secret-key";

// Node "node-a" serves P-1, P-3, P-5; "node-b" serves P-2, P-4 and is listed
// first; P-6 is refused.
const std::vector<std::string> kGroup = {"P-1", "P-2", "P-3", "P-4", "P-5", "P-6"};

struct NodeEntry {
    std::string nodeNo;
    uint16_t port;
    std::vector<std::string> instances;
};

inline std::string OkBody(const Json::Value& data) {
    Json::Value root(Json::objectValue);
    root["code"] = 0;
    root["msg"] = "ok";
    root["data"] = data;
    return Json::FastWriter().write(root);
}

// successList in the order the instance numbers are given (each at its node).
inline std::string GroupAnswer(const std::vector<NodeEntry>& nodes, const std::vector<std::string>& order,
                               const std::vector<std::pair<std::string, int>>& refused) {
    Json::Value data(Json::objectValue);
    data["successList"] = Json::Value(Json::arrayValue);
    data["failList"] = Json::Value(Json::arrayValue);
    data["idcServerNodeList"] = Json::Value(Json::arrayValue);
    for (const auto& instanceNo : order) {
        for (const auto& node : nodes) {
            for (const auto& served : node.instances) {
                if (served != instanceNo) continue;
                Json::Value item(Json::objectValue);
                item["sessionId"] = "session-" + instanceNo;
                item["instanceNo"] = instanceNo;
                item["gCtrlNodeNo"] = node.nodeNo;
                data["successList"].append(item);
            }
        }
    }
    for (const auto& r : refused) {
        Json::Value item(Json::objectValue);
        item["instanceNo"] = r.first;
        item["errorCode"] = r.second;
        item["errorMsg"] = "refused";
        data["failList"].append(item);
    }
    for (const auto& node : nodes) {
        Json::Value item(Json::objectValue);
        item["idcServerNodeNo"] = node.nodeNo;
        item["nodeIp"] = "127.0.0.1";
        item["nodePort"] = node.port;
        data["idcServerNodeList"].append(item);
    }
    return OkBody(data);
}

class GroupPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mosaic_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        ASSERT_EQ(chdir(pattern), 0);
        QvLogParam log{};
        log.level = 0;
        std::snprintf(log.directory, sizeof log.directory, "%s/QVLog", pattern);
        std::strcpy(log.name, "MOSAIC_SDK");
        log.fileSizeKb = 1024;
        log.fileCount = 1;
        mosaic_sdk::IMosaicSdk::SetLogParam(&log);
        base::SetLogCapture([this](int level, const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_log.emplace_back(level, line);
        });
        platform = std::make_unique<platform_peer::PlatformPeer>(
            platform_peer::KeyTable{{kAccessKey, kSecretKey}});
        setenv("TESSIVO_STAT_URL", platform->BaseUrl().c_str(), 1);
        pictures = std::make_unique<peers::HttpServer>([](const peers::HttpRequest& request) {
            peers::HttpReply reply;
            if (request.target.find("missing") != std::string::npos) {
                reply.status = 404;
                return reply;
            }
            reply.body = "picture of " + request.target;
            return reply;
        });
        sdk = std::make_shared<mosaic_sdk::CQVPicGCControl>([this] { return clockMs.load(); });
    }
    void TearDown() override {
        if (sdk) sdk->Uninit();
        sdk.reset();
        nodeA.reset();
        nodeB.reset();
        pictures.reset();
        platform.reset();
        base::SetLogCapture(nullptr);
    }

    mosaic_sdk::QvDataParam Data(const std::string& main = "") const {
        mosaic_sdk::QvDataParam data;
        std::strcpy(data.baseUrl, platform->BaseUrl().c_str());
        std::strcpy(data.userId, kUserId);
        std::strcpy(data.accessKey, kAccessKey);
        std::strcpy(data.secretKey, kSecretKey);
        std::strcpy(data.instanceNo, main.c_str());
        return data;
    }
    static mosaic_sdk::QvPicGCSysParam Plain() {
        mosaic_sdk::QvPicGCSysParam gc;
        gc.secureWebSocket = false;
        gc.reconnectIntervalMs = 200;
        gc.connectTimeoutMs = 20000;
        gc.apiConnectTimeoutMs = 20000;
        gc.apiTimeoutMs = 30000;
        return gc;
    }
    int InitGroup(const mosaic_sdk::QvPicGCSysParam& gc, const std::string& main = "") {
        const mosaic_sdk::QvDataParam data = Data(main);
        return sdk->Init(phoneNotic, notic, &data, &gc, nullptr, nullptr, nullptr, this);
    }
    // The two node peers, and the platform's answer naming them.
    void ScriptTwoNodes(bool tls = false) {
        nodeA = std::make_unique<peers::NodePeer>(tls);
        nodeB = std::make_unique<peers::NodePeer>(tls);
        platform->Script(platform_peer::kGroupControlPath, 200,
                         GroupAnswer({{"node-b", nodeB->Port(), {"P-2", "P-4"}},
                                      {"node-a", nodeA->Port(), {"P-1", "P-3", "P-5"}}},
                                     {"P-1", "P-2", "P-3", "P-4", "P-5"}, {{"P-6", 40401}}));
    }
    int StartGroup() {
        std::vector<const char*> numbers;
        for (const auto& n : kGroup) numbers.push_back(n.c_str());
        return sdk->Start(numbers.data(), static_cast<uint32_t>(numbers.size()));
    }
    // Init, Start and wait for the start's success and both nodes' StartControl.
    void StartReady(const mosaic_sdk::QvPicGCSysParam& gc = Plain(), const std::string& main = "") {
        ScriptTwoNodes(!gc.secureWebSocket ? false : true);
        ASSERT_EQ(InitGroup(gc, main), 0);
        ASSERT_EQ(StartGroup(), 0);
        ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; })) << "start not reported";
        ASSERT_TRUE(nodeA->WaitForCount(peers::node_msg::kStartControlReq, 1, 30000));
        ASSERT_TRUE(nodeB->WaitForCount(peers::node_msg::kStartControlReq, 1, 30000));
    }

    // Input packages of a node peer: (opType, opData).
    static std::vector<std::pair<int, Json::Value>> Inputs(const peers::NodePeer& node) {
        std::vector<std::pair<int, Json::Value>> inputs;
        for (const auto& p : node.PackagesOf(peers::node_msg::kInputReq))
            inputs.emplace_back(p.json["opType"].asInt(), p.opData);
        return inputs;
    }

    bool Logged(const std::string& text, int level = -1) const {
        std::lock_guard<std::mutex> lock(m_logMutex);
        for (const auto& line : m_log)
            if (line.second.find(text) != std::string::npos && (level < 0 || line.first == level)) return true;
        return false;
    }
    int CountLogged(const std::string& text) const {
        std::lock_guard<std::mutex> lock(m_logMutex);
        int n = 0;
        for (const auto& line : m_log) n += line.second.find(text) != std::string::npos;
        return n;
    }

    std::atomic<int64_t> clockMs{1000000};
    std::unique_ptr<platform_peer::PlatformPeer> platform;
    std::unique_ptr<peers::HttpServer> pictures;
    std::unique_ptr<peers::NodePeer> nodeA;
    std::unique_ptr<peers::NodePeer> nodeB;
    std::shared_ptr<GroupRecorder> notic = std::make_shared<GroupRecorder>();
    std::shared_ptr<MainPhoneRecorder> phoneNotic = std::make_shared<MainPhoneRecorder>();
    std::shared_ptr<mosaic_sdk::CQVPicGCControl> sdk;

private:
    mutable std::mutex m_logMutex;
    std::vector<std::pair<int, std::string>> m_log;
};

}  // namespace mosaic_test
