#pragma once
// Client of the cloud-phone platform's REST API: signed JSON POSTs for
// sessions, group control and screenshots, plain GETs, and statistics.
// Calls may come from any thread; every answer arrives on the client's own
// engine thread through IPlatClientNotic.
#include <memory>
#include <string>
#include <vector>

#include "plat_client/plat_records.h"

#define PLAT_CLIENT_API __attribute__((visibility("default")))

namespace plat_client {

// Implemented by the caller; every operation has an empty default. result is
// 0 (transfer done) or -2 (transfer failed), httpCode the status (0 when no
// answer arrived). A record is always delivered; it is empty after a failure
// and may be kept by the receiver.
class PLAT_CLIENT_API IPlatClientNotic {
public:
    virtual void OnPhoneConnectRsp(int result, int httpCode, std::shared_ptr<PhoneConnectRsp> rsp, const char* name,
                                   void* userData) {}
    virtual void OnRefreshSessionRsp(int result, int httpCode, std::shared_ptr<RefreshSessionRsp> rsp,
                                     const char* name, void* userData) {}
    virtual void OnSecurityTokenRsp(int result, int httpCode, std::shared_ptr<SecurityTokenRsp> rsp,
                                    const char* name, void* userData) {}
    virtual void OnMessageCollectRsp(int result, int httpCode, std::shared_ptr<MessageCollectRsp> rsp,
                                     const char* name, void* userData) {}
    virtual void OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                               std::shared_ptr<PhoneGroupControlConnectRsp> rsp, const char* name,
                                               void* userData) {}
    virtual void OnScreenshotRsp(int result, int httpCode, std::shared_ptr<ScreenshotRsp> rsp, const char* name,
                                 void* userData) {}
    // body is valid during the call only.
    virtual void OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                           void* userData) {}
    virtual ~IPlatClientNotic() = default;
};

// Request operations return 0 when the request was sent (its answer follows
// exactly once, unless the client is uninitialised first) and -1 otherwise.
class PLAT_CLIENT_API IPlatClient {
public:
    static std::shared_ptr<IPlatClient> Create();

    IPlatClient() = default;
    IPlatClient(const IPlatClient&) = default;
    IPlatClient& operator=(const IPlatClient&) = default;

    // baseUrl: scheme and host of the platform API (http:// or https://).
    virtual int Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
                     const char* sdkVersion, std::shared_ptr<IPlatClientNotic> notic, int connectTimeoutMs,
                     int timeoutMs) = 0;
    // Stops the engine; calls still in flight are dropped without an answer.
    virtual int UnInit() = 0;
    virtual void SetKey(const char* accessKey, const char* secretKey) = 0;
    // sdkStreamLevel may be empty (then not sent).
    virtual int GetPhoneConnect(const char* instanceNo, const char* sdkStreamLevel, const char* name,
                                void* userData) = 0;
    // Refreshes the session id received last by this client.
    virtual int RefreshSession(const char* name, void* userData) = 0;
    // Sends nothing and returns 0 when the statistics credentials are known.
    virtual int GetStatMessageSecurityToken(const char* name, void* userData) = 0;
    // Process-wide: the first call with a non-empty access key fixes the
    // statistics credentials; the secret is stored without its first 3 and,
    // from 8 characters on, its last 5 characters.
    virtual void SetStatMessageKey(const char* accessKey, const char* secretKey) = 0;
    // -1 (and a security-token request) while the statistics credentials are unknown.
    virtual int StatMessageCollect(const MessageCollect& message, const char* name, void* userData) = 0;
    virtual int PhoneGroupControlConnect(const char* const* instanceNos, unsigned count, const char* name,
                                         void* userData) = 0;
    virtual int Screenshot(const ScreenshotReq& request, const std::vector<std::string>& instanceNos,
                           const char* name, void* userData) = 0;
    // Plain GET of a whole URL, answered by OnHttpRsp.
    virtual int HttpGet(const char* url, const char* name, void* userData) = 0;
    virtual ~IPlatClient() = default;
};

}  // namespace plat_client
