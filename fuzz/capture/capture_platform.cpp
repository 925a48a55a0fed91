// Platform calls made with the client's own body builders and signing.
#include <cstdio>
#include <string>
#include <vector>

#include <json/reader.h>
#include <json/value.h>

#include "capture_steps.h"
#include "peers/clients.h"
#include "request_bodies.h"
#include "request_signing.h"

namespace fuzz_capture {
namespace {

// Selector bytes of the cloudsim_signed_request target, by path.
enum PathSelector : char {
    kSelPhoneConnect = 0,
    kSelRefresh = 1,
    kSelGroupControl = 2,
    kSelScreenshot = 3,
    kSelSecurityToken = 4,
    kSelMessageCollect = 5,
};

peers::HeaderList Headers(const std::list<std::string>& lines) {
    peers::HeaderList headers;
    for (const std::string& line : lines) {
        const size_t colon = line.find(": ");
        headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
    }
    return headers;
}

struct Caller {
    cloudsim::CloudSim& cloud;
    CorpusWriter& corpus;

    // POSTs body signed with the key pair; records the body (behind its
    // selector byte) and the answer. The answer body, "" on failure.
    std::string Call(const char* path, char selector, const std::string& name, const std::string& body,
                     const std::string& ak, const std::string& sk, int64_t ms) {
        const peers::HeaderList headers = Headers(plat_client::MakeSignedHeaders(ak, sk, ms, body));
        const peers::HttpClientReply reply = peers::HttpFetch("POST", cloud.HttpUrl() + path, body, headers);
        corpus.Write("cloudsim_signed_request", name, std::string(1, selector) + body);
        if (reply.status != 200) {
            std::fprintf(stderr, "capture: %s answered HTTP %d\n", path, reply.status);
            return "";
        }
        corpus.Write("plat_client_answer", name, reply.body);
        return reply.body;
    }
};

Json::Value Parse(const std::string& text) {
    Json::Value root;
    Json::Reader().parse(text, root);
    return root;
}

}  // namespace

bool CapturePlatform(cloudsim::CloudSim& cloud, CorpusWriter& corpus, std::string& statAk, std::string& statSk) {
    const cloudsim::CloudConfig& config = cloud.Config();
    const cloudsim::SimUser& user = config.users.at(0);
    const std::string sdkVersion = "1.0.3.0";
    Caller caller{cloud, corpus};
    int64_t ms = plat_client::NowMs();

    // Phone-connect of the user's own phone, of somebody else's and of an unknown one.
    std::string mine;
    std::string theirs;
    for (const auto& instance : config.instances) {
        if (instance.userId == user.userId && mine.empty()) mine = instance.instanceNo;
        if (instance.userId != user.userId && theirs.empty()) theirs = instance.instanceNo;
    }
    auto connect = [&](const std::string& instanceNo, const std::string& name, const std::string& level) {
        const std::string body =
            plat_client::PhoneConnectBody(user.userId, instanceNo,
                                          plat_client::MakeClientTicket(user.userId, sdkVersion, ms), level)
                .toStyledString();
        return caller.Call("/sdk/instance/phone-connect", kSelPhoneConnect, name, body, user.accessKey,
                           user.secretKey, ms);
    };
    const Json::Value session = Parse(connect(mine, "phone-connect", "1"));
    if (!theirs.empty()) connect(theirs, "phone-connect-other-owner", "");
    connect("no-such-phone", "phone-connect-unknown", "2");

    // Refresh of the live session and of an unknown one.
    const std::string sessionId = session["data"]["sessionId"].asString();
    caller.Call("/sdk/instance/refresh-session", kSelRefresh, "refresh-session",
                plat_client::RefreshSessionBody(sessionId).toStyledString(), user.accessKey, user.secretKey, ms);
    caller.Call("/sdk/instance/refresh-session", kSelRefresh, "refresh-session-unknown",
                plat_client::RefreshSessionBody("no-such-session").toStyledString(), user.accessKey,
                user.secretKey, ms);

    // Group control over every phone of the user (and one it does not own).
    std::vector<std::string> group;
    for (const auto& instance : config.instances) {
        if (instance.userId == user.userId) group.push_back(instance.instanceNo);
    }
    if (!theirs.empty()) group.push_back(theirs);
    caller.Call("/sdk/instance/phone-group-control-connect", kSelGroupControl, "group-control",
                plat_client::GroupControlBody(user.userId, group,
                                              plat_client::MakeClientTicket(user.userId, sdkVersion, ms))
                    .toStyledString(),
                user.accessKey, user.secretKey, ms);

    plat_client::ScreenshotReq shot;
    shot.pictureQuality = 80;
    shot.pictureScale = 50;
    caller.Call("/sdk/instance/screenshot", kSelScreenshot, "screenshot",
                plat_client::ScreenshotBody(shot, group).toStyledString(), user.accessKey, user.secretKey, ms);

    // Security token: the one unsigned call.
    const peers::HttpClientReply token = peers::HttpFetch(
        "POST", cloud.HttpUrl() + "/stat/message/security-token", "", {{"Content-Type", "application/json"}});
    corpus.Write("cloudsim_signed_request", "security-token", std::string(1, kSelSecurityToken));
    if (token.status != 200) {
        std::fprintf(stderr, "capture: security-token answered HTTP %d\n", token.status);
        return false;
    }
    corpus.Write("plat_client_answer", "security-token", token.body);
    const Json::Value keys = Parse(token.body)["data"];
    statAk = keys["accessKey"].asString();
    statSk = keys["accessSecretKey"].asString();

    plat_client::MessageCollect message;
    message.metric = 1;
    message.collectType = 1;
    message.businessType = 1;
    message.sessionId = sessionId;
    message.instanceNo = mine;
    message.protocolType = "ws";
    message.controlIp = "127.0.0.1";
    message.port = "0";
    message.sdkType = "pc";
    message.sdkVersion1 = sdkVersion;
    message.startPlayTime = ms - 2000;
    message.firstFrameTime = ms - 1500;
    if (plat_client::MessageCollectIndexesValid(message)) {
        caller.Call("/stat/message/collect", kSelMessageCollect, "message-collect",
                    plat_client::MessageCollectBody(message, ms).toStyledString(), config.statAccessKey,
                    config.statSecretKey, ms);
    }
    // A call signed with a key the cloud does not know: its refusal.
    caller.Call("/sdk/instance/phone-connect", kSelPhoneConnect, "phone-connect-unknown-key",
                plat_client::PhoneConnectBody(user.userId, mine,
                                              plat_client::MakeClientTicket(user.userId, sdkVersion, ms), "")
                    .toStyledString(),
                "no-such-key", "no-such-secret", ms);
    return !sessionId.empty();
}

}  // namespace fuzz_capture
