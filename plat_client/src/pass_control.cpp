#include "pass_control.h"

#include <utility>

#include "common/qv_log.h"
#include "request_signing.h"
#include "stat_credentials.h"

namespace plat_client {

using net_engine::IHttpHandleInterface;
using net_engine::INetEngine;

// The engine and the handles hold their notic strongly; this forwarder holds
// the client weakly, so a client that is dropped is not kept alive by them.
struct CPassControl::Forwarder : net_engine::IHttpHandleNotic, net_engine::IHttpNotic {
    explicit Forwarder(std::weak_ptr<CPassControl> owner) : owner(std::move(owner)) {}

    void OnResult(std::shared_ptr<IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void* userData) override {
        if (auto client = owner.lock()) client->OnResult(std::move(handle), result, userData);
    }
    void OnFrameStop(std::shared_ptr<INetEngine> engine, void* userData) override {
        if (auto client = owner.lock()) client->OnFrameStop(std::move(engine), userData);
    }

    std::weak_ptr<CPassControl> owner;
};

std::shared_ptr<IPlatClient> IPlatClient::Create() { return std::make_shared<CPassControl>(); }

CPassControl::~CPassControl() { UnInit(); }

int CPassControl::Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
                       const char* sdkVersion, std::shared_ptr<IPlatClientNotic> notic, int connectTimeoutMs,
                       int timeoutMs) {
    if (baseUrl == nullptr || userId == nullptr || accessKey == nullptr || secretKey == nullptr ||
        sdkVersion == nullptr) {
        return -1;
    }
    int32_t expected = 0;
    if (!m_initState.compare_exchange_strong(expected, 1)) return -1;

    std::shared_ptr<INetEngine> engine;
    std::shared_ptr<Forwarder> forwarder;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        if (!m_forwarder) m_forwarder = std::make_shared<Forwarder>(weak_from_this());
        forwarder = m_forwarder;
        engine = m_engine;
    }
    if (!engine) engine = INetEngine::Create();

    bool running = false;
    if (!engine) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Init net_engine failed");
    } else if (engine->Init(forwarder, nullptr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Init net_engine failed");
    } else if (engine->Start() != 0) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Start net_engine failed");
        engine.reset();
    } else {
        running = true;
    }

    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        m_engine = engine;
        m_baseUrl = baseUrl;
        m_userId = userId;
        m_accessKey = accessKey;
        m_secretKey = secretKey;
        m_sdkVersion = sdkVersion;
        m_connectTimeoutMs = connectTimeoutMs;
        m_timeoutMs = timeoutMs;
        m_statBaseUrl = StatBaseUrlFromEnvironment();
        // Kept only when the client runs: a failed Init holds no reference to the caller.
        if (running) m_notic = std::move(notic);
    }
    m_initState.store(running ? 2 : 0);
    return running ? 0 : -1;
}

int CPassControl::UnInit() {
    int32_t expected = 2;
    if (!m_initState.compare_exchange_strong(expected, 3)) return -1;

    std::shared_ptr<INetEngine> engine;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        engine = m_engine;
    }
    // Calls in flight are dropped now: a server that never answers must not
    // keep the engine's loop (and so this call) waiting.
    std::map<std::shared_ptr<IHttpHandleInterface>, std::unique_ptr<RequestContext>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        dropped.swap(m_pending);
    }
    if (engine) {
        for (const auto& entry : dropped) engine->DelHttpReq(entry.first, true, nullptr, nullptr);
        engine->Stop(true);
    }
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        m_engine.reset();
        m_notic.reset();
    }
    m_initState.store(0);
    QV_LOG(QV_LOG_DETAIL, "[PLAT_CLIENT]paas control UnInit");
    return 0;
}

void CPassControl::SetKey(const char* accessKey, const char* secretKey) {
    if (accessKey == nullptr || secretKey == nullptr) return;
    std::lock_guard<std::mutex> lock(m_configMutex);
    m_accessKey = accessKey;
    m_secretKey = secretKey;
}

std::shared_ptr<IPlatClientNotic> CPassControl::Notic() {
    std::lock_guard<std::mutex> lock(m_configMutex);
    return m_notic;
}

int CPassControl::SendRequest(HostKind host, const std::string& target, int32_t type, const Builder& builder,
                              const char* name, void* userData) {
    if (m_initState.load() != 2) return -1;
    std::shared_ptr<INetEngine> engine;
    std::shared_ptr<Forwarder> forwarder;
    std::string url;
    int connectTimeoutMs = 0;
    int timeoutMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        engine = m_engine;
        forwarder = m_forwarder;
        connectTimeoutMs = m_connectTimeoutMs;
        timeoutMs = m_timeoutMs;
        if (host == HOST_PLATFORM) url = m_baseUrl;
        if (host == HOST_STATISTICS) url = m_statBaseUrl;
    }
    if (!engine) return -1;
    url += target;

    std::list<std::string> headers;
    std::string body;
    if (builder) builder(headers, body);

    std::shared_ptr<IHttpHandleInterface> handle = IHttpHandleInterface::Create();
    if (!handle) return -1;
    auto context = std::make_unique<RequestContext>();
    context->type = type;
    context->userData = userData;
    context->engine = engine;
    RequestContext* contextPtr = context.get();

    // Under the request mutex from the state check to the add: UnInit sweeps
    // the table under the same mutex, so no call slips in after the sweep, and
    // the table holds the call before its answer can arrive.
    std::lock_guard<std::mutex> lock(m_requestMutex);
    if (m_initState.load() != 2) return -1;
    const int kind = type == REQ_HTTP_GET ? net_engine::HTTP_KIND_GET : net_engine::HTTP_KIND_POST;
    if (handle->Init(url.c_str(), name != nullptr ? name : "", kind, forwarder, connectTimeoutMs, timeoutMs,
                     contextPtr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Http handle init failed");
        return -1;
    }
    if (builder) {
        handle->SetHeaders(headers);
        handle->SetPostFields(body.c_str());
    }
    handle->SetSSL(nullptr);  // platform calls do not verify the server's certificate
    m_pending.emplace(handle, std::move(context));
    if (engine->AddHttpReq(handle, false, nullptr, nullptr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Add http req failed");
        m_pending.erase(handle);
        engine->DelHttpReq(handle, true, nullptr, nullptr);  // resets the handle while the engine still runs
        return -1;
    }
    return 0;
}

CPassControl::Builder CPassControl::SignedBuilder(std::function<std::string(int64_t ms)> makeBody,
                                                  bool statisticsKeys) {
    return [this, makeBody = std::move(makeBody), statisticsKeys](std::list<std::string>& headers,
                                                                  std::string& body) {
        const int64_t ms = NowMs();
        body = makeBody(ms);
        std::string accessKey;
        std::string secretKey;
        if (statisticsKeys) {
            const StatKeys keys = StatCredentials::Get();
            accessKey = keys.accessKey;
            secretKey = keys.secret;
        } else {
            std::lock_guard<std::mutex> lock(m_configMutex);
            accessKey = m_accessKey;
            secretKey = m_secretKey;
        }
        headers = MakeSignedHeaders(accessKey, secretKey, ms, body);
    };
}

}  // namespace plat_client
