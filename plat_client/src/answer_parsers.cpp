#include "answer_parsers.h"

#include <cstring>

#include "common/qv_log.h"
#include "json_fields.h"

namespace plat_client {
namespace {

// Root parsed and "code"/"msg" read; data is the "data" member or null.
bool ReadRoot(const std::string& body, RspHead& head, Json::Value& root, const Json::Value*& data) {
    data = nullptr;
    if (!ParseJsonText(body, root) || !ReadHead(root, head)) return false;
    data = Member(root, "data");
    return true;
}

void CopyText256(char (&dst)[256], const std::string& src) {
    const size_t length = src.size() < 255 ? src.size() : 255;
    std::memcpy(dst, src.data(), length);
    dst[length] = '\0';
}

void ReadSessionIdentity(const Json::Value& object, SessionRecord& session) {
    ReadOptional(object, "instanceNo", session.instanceNo);
    ReadOptional(object, "userId", session.userId);
    ReadOptional(object, "appPackage", session.appPackage);
    ReadDecimalString(object, "sessionSignExpireTime", session.sessionSignExpireTime);
    ReadDecimalString(object, "sessionExpireTime", session.sessionExpireTime);
}

void ReadOptionalStreamInfo(const Json::Value& streamInfo, SessionRecord& session) {
    ReadOptional(streamInfo, "tcpDomain", session.tcpDomain);
    ReadOptional(streamInfo, "tcpPort", session.tcpPort);
    ReadOptional(streamInfo, "udpDomain", session.udpDomain);
    ReadOptional(streamInfo, "udpPort", session.udpPort);
    ReadOptional(streamInfo, "webSocketDomain", session.webSocketDomain);
    ReadOptional(streamInfo, "webSocketPort", session.webSocketPort);
}

// One "successList" element: streamInfo optional, gCtrlNodeNo required.
bool ReadGroupSession(const Json::Value& element, SessionRecord& session) {
    if (!ReadRequired(element, "successList", "sessionId", session.sessionId)) return false;
    ReadSessionIdentity(element, session);
    const Json::Value* streamInfo = Member(element, "streamInfo");
    if (streamInfo != nullptr && streamInfo->isObject()) ReadOptionalStreamInfo(*streamInfo, session);
    ReadOptional(element, "streamStrategyList", session.streamStrategyList);
    if (!ReadRequired(element, "successList", "gCtrlNodeNo", session.gCtrlNodeNo)) return false;
    ReadOptional(element, "preemption", session.preemption);
    return true;
}

bool ReadFailItem(const Json::Value& element, GroupControlFailItem& item) {
    if (!ReadRequired(element, "failList", "instanceNo", item.instanceNo)) return false;
    if (!ReadRequired(element, "failList", "errorCode", item.errorCode)) return false;
    ReadOptional(element, "errorMsg", item.errorMsg);
    return true;
}

bool ReadIdcNode(const Json::Value& element, IdcServerNodeItem& item) {
    return ReadRequired(element, "idcServerNodeList", "idcServerNodeNo", item.idcServerNodeNo) &&
           ReadRequired(element, "idcServerNodeList", "nodeIp", item.nodeIp) &&
           ReadRequired(element, "idcServerNodeList", "nodePort", item.nodePort);
}

// Reads every element of data[key] (when it is an array) with read, appending to list.
template <class Item, class Read>
bool ReadList(const Json::Value& data, const char* key, std::vector<Item>& list, Read read) {
    const Json::Value* array = Member(data, key);
    if (array == nullptr || !array->isArray()) return true;
    for (const auto& element : *array) {
        Item item{};
        const bool ok = read(element, item);
        if (!ok) return false;
        list.push_back(item);
    }
    return true;
}

}  // namespace

bool ParsePhoneConnectRsp(const std::string& body, PhoneConnectRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    if (!ReadRoot(body, rsp, root, data)) return false;
    if (data == nullptr || !data->isObject()) return true;
    if (!ReadRequired(*data, "data", "sessionId", rsp.sessionId)) return false;
    ReadSessionIdentity(*data, rsp);
    const Json::Value* streamInfo = Member(*data, "streamInfo");
    if (streamInfo == nullptr || !streamInfo->isObject()) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Json Get streamInfo failed");
        return false;
    }
    ReadOptional(*streamInfo, "tcpDomain", rsp.tcpDomain);
    ReadOptional(*streamInfo, "tcpPort", rsp.tcpPort);
    ReadOptional(*streamInfo, "udpDomain", rsp.udpDomain);
    ReadOptional(*streamInfo, "udpPort", rsp.udpPort);
    if (!ReadRequired(*streamInfo, "streamInfo", "webSocketDomain", rsp.webSocketDomain)) return false;
    if (!ReadRequired(*streamInfo, "streamInfo", "webSocketPort", rsp.webSocketPort)) return false;
    ReadOptional(*data, "streamStrategyList", rsp.streamStrategyList);
    ReadOptional(*data, "gCtrlNodeNo", rsp.gCtrlNodeNo);
    ReadOptional(*data, "preemption", rsp.preemption);
    return true;
}

bool ParseRefreshSessionRsp(const std::string& body, RefreshSessionRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    if (!ReadRoot(body, rsp, root, data)) return false;
    if (data == nullptr || !data->isObject()) return true;
    if (!ReadRequired(*data, "data", "sessionId", rsp.sessionId)) return false;
    ReadDecimalString(*data, "sessionSignExpireTime", rsp.sessionSignExpireTime);
    return true;
}

bool ParseGroupControlRsp(const std::string& body, PhoneGroupControlConnectRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    if (!ReadRoot(body, rsp, root, data)) return false;
    if (data == nullptr || !data->isObject()) return true;
    return ReadList(*data, "successList", rsp.successList, ReadGroupSession) &&
           ReadList(*data, "failList", rsp.failList, ReadFailItem) &&
           ReadList(*data, "idcServerNodeList", rsp.idcServerNodeList, ReadIdcNode);
}

bool ParseScreenshotRsp(const std::string& body, ScreenshotRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    if (!ReadRoot(body, rsp, root, data)) return false;
    if (data == nullptr || !data->isArray()) return true;
    for (const auto& element : *data) {
        std::string instanceNo;
        std::string picUrl;
        if (!ReadRequired(element, "data", "instanceNo", instanceNo)) return false;
        if (!ReadRequired(element, "data", "picUrl", picUrl)) return false;
        ScreenshotItem item{};
        CopyText256(item.instanceNo, instanceNo);
        CopyText256(item.picUrl, picUrl);
        rsp.data.push_back(item);
    }
    return true;
}

bool ParseSecurityTokenRsp(const std::string& body, SecurityTokenRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    if (!ReadRoot(body, rsp, root, data)) return false;
    if (data == nullptr || !data->isObject()) return true;
    if (!ReadRequired(*data, "data", "accessKey", rsp.accessKey)) return false;
    ReadOptional(*data, "accessSecretKey", rsp.accessSecretKey);
    return true;
}

bool ParseMessageCollectRsp(const std::string& body, MessageCollectRsp& rsp) {
    Json::Value root;
    const Json::Value* data = nullptr;
    return ReadRoot(body, rsp, root, data);
}

}  // namespace plat_client
