// The endpoint calls of CPassControl: each builds its body and hands it to SendRequest.
#include <vector>

#include "common/qv_log.h"
#include "pass_control.h"
#include "request_bodies.h"
#include "request_signing.h"
#include "stat_credentials.h"

namespace plat_client {

int CPassControl::GetPhoneConnect(const char* instanceNo, const char* sdkStreamLevel, const char* name,
                                  void* userData) {
    if (instanceNo == nullptr) return -1;
    std::string instance = instanceNo;
    std::string level = sdkStreamLevel != nullptr ? sdkStreamLevel : "";
    auto makeBody = [this, instance, level](int64_t ms) {
        std::lock_guard<std::mutex> lock(m_configMutex);
        return PhoneConnectBody(m_userId, instance, MakeClientTicket(m_userId, m_sdkVersion, ms), level)
            .toStyledString();
    };
    return SendRequest(HOST_PLATFORM, RequestPath(REQ_PHONE_CONNECT), REQ_PHONE_CONNECT,
                       SignedBuilder(makeBody, false), name, userData);
}

int CPassControl::RefreshSession(const char* name, void* userData) {
    auto makeBody = [this](int64_t) {
        std::lock_guard<std::mutex> lock(m_configMutex);
        return RefreshSessionBody(m_sessionId).toStyledString();
    };
    return SendRequest(HOST_PLATFORM, RequestPath(REQ_REFRESH_SESSION), REQ_REFRESH_SESSION,
                       SignedBuilder(makeBody, false), name, userData);
}

int CPassControl::PhoneGroupControlConnect(const char* const* instanceNos, unsigned count, const char* name,
                                           void* userData) {
    if (count > 0 && instanceNos == nullptr) return -1;
    std::vector<std::string> instances;
    instances.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        if (instanceNos[i] == nullptr) return -1;
        instances.emplace_back(instanceNos[i]);
    }
    auto makeBody = [this, instances](int64_t ms) {
        std::lock_guard<std::mutex> lock(m_configMutex);
        return GroupControlBody(m_userId, instances, MakeClientTicket(m_userId, m_sdkVersion, ms)).toStyledString();
    };
    return SendRequest(HOST_PLATFORM, RequestPath(REQ_GROUP_CONTROL_CONNECT), REQ_GROUP_CONTROL_CONNECT,
                       SignedBuilder(makeBody, false), name, userData);
}

int CPassControl::Screenshot(const ScreenshotReq& request, const std::vector<std::string>& instanceNos,
                             const char* name, void* userData) {
    const std::string body = ScreenshotBody(request, instanceNos).toStyledString();
    auto makeBody = [body](int64_t) { return body; };
    return SendRequest(HOST_PLATFORM, RequestPath(REQ_SCREENSHOT), REQ_SCREENSHOT, SignedBuilder(makeBody, false),
                       name, userData);
}

int CPassControl::HttpGet(const char* url, const char* name, void* userData) {
    if (url == nullptr) return -1;
    return SendRequest(HOST_NONE, url, REQ_HTTP_GET, nullptr, name, userData);
}

int CPassControl::GetStatMessageSecurityToken(const char* name, void* userData) {
    if (StatCredentials::Get().Complete()) return 0;
    auto unsignedEmptyPost = [](std::list<std::string>& headers, std::string& body) {
        headers = {"Content-Type: application/json"};
        body.clear();
    };
    return SendRequest(HOST_STATISTICS, RequestPath(REQ_SECURITY_TOKEN), REQ_SECURITY_TOKEN, unsignedEmptyPost,
                       name, userData);
}

void CPassControl::SetStatMessageKey(const char* accessKey, const char* secretKey) {
    if (accessKey == nullptr || secretKey == nullptr) return;
    StatCredentials::Set(accessKey, secretKey);
}

int CPassControl::StatMessageCollect(const MessageCollect& message, const char* name, void* userData) {
    if (!StatCredentials::Get().Complete()) {
        QV_LOG(QV_LOG_WARN, "[PLAT_CLIENT]MessageAccessKey or MessageAccessSecretKey is empty");
        GetStatMessageSecurityToken(nullptr, nullptr);
        return -1;
    }
    if (!MessageCollectIndexesValid(message)) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]MessageCollect index out of range metric[%d] collectType[%d] businessType[%d]",
               message.metric, message.collectType, message.businessType);
        return -1;
    }
    auto makeBody = [message](int64_t ms) { return MessageCollectBody(message, ms).toStyledString(); };
    return SendRequest(HOST_STATISTICS, RequestPath(REQ_MESSAGE_COLLECT), REQ_MESSAGE_COLLECT,
                       SignedBuilder(makeBody, true), name, userData);
}

}  // namespace plat_client
