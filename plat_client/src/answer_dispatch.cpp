// Answer dispatch of CPassControl (engine loop thread): parse, side effects, notic.
#include <utility>

#include "answer_parsers.h"
#include "common/qv_log.h"
#include "pass_control.h"
#include "stat_credentials.h"

namespace plat_client {

using net_engine::IHttpHandleInterface;
using net_engine::INetEngine;

namespace {

// Parses an answer of status 200 into rsp, logging the outcome of the transfer.
template <class Rsp>
std::shared_ptr<Rsp> MakeRecord(int32_t type, int result, int status, const std::string& url,
                                const std::string& body, bool (*parse)(const std::string&, Rsp&), bool& parsed) {
    auto rsp = std::make_shared<Rsp>();
    rsp->path = RequestPath(type);
    parsed = false;
    if (result != 0) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http Req [%s] failed", url.c_str());
    } else if (status == 200) {
        parsed = parse(body, *rsp);
        if (!parsed) {
            QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http Req [%s] Parse %s[%s] failed", url.c_str(),
                   ResponseRecordName(type), body.c_str());
        }
    } else {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http Req [%s] get rescode[%d]", url.c_str(), status);
    }
    return rsp;
}

}  // namespace

void CPassControl::OnResult(std::shared_ptr<IHttpHandleInterface> handle, net_engine::HttpResult result,
                            void* userData) {
    std::unique_ptr<RequestContext> context;
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        auto entry = m_pending.find(handle);
        if (entry == m_pending.end()) return;  // dropped by UnInit, which also deletes the handle
        context = std::move(entry->second);
        m_pending.erase(entry);
    }
    DispatchAnswer(handle, result, *context);
    // Deleted through the engine it was added to, even when an UnInit made
    // inside the notic has dropped that engine already.
    if (auto engine = context->engine.lock()) engine->DelHttpReq(handle, false, nullptr, nullptr);
}

void CPassControl::DispatchAnswer(const std::shared_ptr<IHttpHandleInterface>& handle, int result,
                                  const RequestContext& context) {
    const int status = handle->GetResponseCode();
    const std::string& url = handle->GetUrl();
    const std::string& body = handle->GetResponse();
    const char* name = handle->GetName().c_str();
    void* userData = context.userData;
    const int code = status < 0 ? 0 : status;
    bool parsed = false;

    switch (context.type) {
        case REQ_PHONE_CONNECT: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParsePhoneConnectRsp, parsed);
            if (parsed) {
                std::lock_guard<std::mutex> lock(m_configMutex);
                m_sessionId = rsp->sessionId;
            }
            if (auto notic = Notic()) notic->OnPhoneConnectRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_REFRESH_SESSION: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParseRefreshSessionRsp, parsed);
            if (parsed) {
                std::lock_guard<std::mutex> lock(m_configMutex);
                m_sessionId = rsp->sessionId;
            }
            if (auto notic = Notic()) notic->OnRefreshSessionRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_SECURITY_TOKEN: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParseSecurityTokenRsp, parsed);
            if (parsed) SetStatMessageKey(rsp->accessKey.c_str(), rsp->accessSecretKey.c_str());
            if (auto notic = Notic()) notic->OnSecurityTokenRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_MESSAGE_COLLECT: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParseMessageCollectRsp, parsed);
            if (auto notic = Notic()) notic->OnMessageCollectRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_GROUP_CONTROL_CONNECT: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParseGroupControlRsp, parsed);
            if (auto notic = Notic()) notic->OnPhoneGroupControlConnectRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_SCREENSHOT: {
            auto rsp = MakeRecord(context.type, result, code, url, body, ParseScreenshotRsp, parsed);
            if (auto notic = Notic()) notic->OnScreenshotRsp(result, code, rsp, name, userData);
            break;
        }
        case REQ_HTTP_GET: {
            if (result != 0) {
                QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http Req [%s] failed", url.c_str());
            } else if (code != 200) {
                QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http Req [%s] get rescode[%d]", url.c_str(), code);
            }
            if (auto notic = Notic()) {
                notic->OnHttpRsp(result, code, body.data(), static_cast<int>(body.size()), name, userData);
            }
            break;
        }
        default:
            QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http result unknown reqtype[%d]", context.type);
            break;
    }
}

void CPassControl::OnFrameStop(std::shared_ptr<INetEngine> engine, void* userData) {
    QV_LOG(QV_LOG_DETAIL, "[PLAT_CLIENT]clear http req");
    std::vector<std::shared_ptr<IHttpHandleInterface>> stale;
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        for (auto entry = m_pending.begin(); entry != m_pending.end();) {
            // Only calls of the stopping engine: a later Init may already run a new one.
            if (entry->second->engine.lock() == engine) {
                stale.push_back(entry->first);
                entry = m_pending.erase(entry);
            } else {
                ++entry;
            }
        }
    }
    for (const auto& handle : stale) engine->DelHttpReq(handle, false, nullptr, nullptr);
}

}  // namespace plat_client
