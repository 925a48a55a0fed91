#pragma once
// CPassControl: the platform client. It owns one engine, creates one request
// handle per call, keeps the calls in flight in a table and turns each answer
// into a typed record for the caller's notic, on the engine's loop thread.
#include <atomic>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "net_engine/net_engine.h"
#include "plat_client/plat_client.h"
#include "request_types.h"

namespace plat_client {

class CPassControl : public IPlatClient,
                     public net_engine::IHttpHandleNotic,
                     public net_engine::IHttpNotic,
                     public std::enable_shared_from_this<CPassControl> {
public:
    CPassControl() = default;
    ~CPassControl() override;

    int Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
             const char* sdkVersion, std::shared_ptr<IPlatClientNotic> notic, int connectTimeoutMs,
             int timeoutMs) override;
    int UnInit() override;
    void SetKey(const char* accessKey, const char* secretKey) override;
    int GetPhoneConnect(const char* instanceNo, const char* sdkStreamLevel, const char* name,
                        void* userData) override;
    int RefreshSession(const char* name, void* userData) override;
    int GetStatMessageSecurityToken(const char* name, void* userData) override;
    void SetStatMessageKey(const char* accessKey, const char* secretKey) override;
    int StatMessageCollect(const MessageCollect& message, const char* name, void* userData) override;
    int PhoneGroupControlConnect(const char* const* instanceNos, unsigned count, const char* name,
                                 void* userData) override;
    int Screenshot(const ScreenshotReq& request, const std::vector<std::string>& instanceNos, const char* name,
                   void* userData) override;
    int HttpGet(const char* url, const char* name, void* userData) override;

    // Engine notifications (loop thread), reached through a weak forwarder.
    void OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void* userData) override;
    void OnFrameStop(std::shared_ptr<net_engine::INetEngine> engine, void* userData) override;

private:
    // Fills the header list and the body of a POST.
    using Builder = std::function<void(std::list<std::string>& headers, std::string& body)>;
    struct Forwarder;

    enum HostKind { HOST_PLATFORM, HOST_STATISTICS, HOST_NONE };

    int SendRequest(HostKind host, const std::string& target, int32_t type, const Builder& builder,
                    const char* name, void* userData);
    // Builder of a signed call whose body makeBody produces from the config
    // (read under the config mutex) and the request's milliseconds.
    Builder SignedBuilder(std::function<std::string(int64_t ms)> makeBody, bool statisticsKeys);
    void DispatchAnswer(const std::shared_ptr<net_engine::IHttpHandleInterface>& handle, int result,
                        const RequestContext& context);
    std::shared_ptr<IPlatClientNotic> Notic();

    std::shared_ptr<net_engine::INetEngine> m_engine;  // guarded by m_configMutex
    std::atomic<int32_t> m_initState{0};               // 0 idle, 1 initialising, 2 initialised, 3 uninitialising
    std::shared_ptr<IPlatClientNotic> m_notic;         // guarded by m_configMutex
    std::shared_ptr<Forwarder> m_forwarder;            // guarded by m_configMutex

    std::mutex m_configMutex;
    std::string m_userId;
    std::string m_accessKey;
    std::string m_secretKey;
    std::string m_sessionId;
    std::string m_baseUrl;
    std::string m_statBaseUrl;
    std::string m_sdkVersion;
    int m_connectTimeoutMs = 0;
    int m_timeoutMs = 0;

    std::mutex m_requestMutex;
    std::map<std::shared_ptr<net_engine::IHttpHandleInterface>, std::unique_ptr<RequestContext>> m_pending;
};

}  // namespace plat_client
