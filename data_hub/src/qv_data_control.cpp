#include "qv_data_control.h"

#include <mutex>

#include "hub_params.h"
#include "platform/program_file.h"

namespace data_hub {

namespace {

bool Empty(const char* s) { return !s || !*s; }

}  // namespace

std::shared_ptr<IDataHub> IDataHub::Create() {
    static std::once_flag once;
    std::call_once(once, [] { QV_LOG(20, "[DATA_HUB]data_hub Version[%s]", kHubVersion); });
    return std::make_shared<CQVDataControl>();
}

std::shared_ptr<IQVInternalDataInterface> IQVInternalDataInterface::CreateInternalDataInterface() {
    static std::once_flag once;
    std::call_once(once, [] { QV_LOG(20, "[DATA_HUB]QV In Data Interface Version[%s]", kHubVersion); });
    return std::make_shared<CQVDataControl>();
}

void IDataHub::SetLogParam(QvLogParam* param) { common::ApplyLogParam(param, "DATA_HUB"); }

CQVDataControl::CQVDataControl() = default;

CQVDataControl::~CQVDataControl() { UnInit(); }

std::shared_ptr<IDataHubNotic> CQVDataControl::Notic() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notic;
}

std::shared_ptr<plat_client::IPlatClient> CQVDataControl::Platform() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plat;
}

void CQVDataControl::Status(int code, const char* msg) {
    if (auto notic = Notic()) notic->OnStatus(code, msg);
}

int CQVDataControl::Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
                         const char* instanceNo, int mode, std::shared_ptr<IDataHubNotic> notic,
                         const QvVideoParam* video, const QvDataSystemParam* system) {
    if (Empty(userId) || Empty(accessKey) || Empty(secretKey) || Empty(instanceNo) || !video || !notic) return -1;
    int32_t expected = 0;
    if (!m_initState.compare_exchange_strong(expected, 1)) return -1;
    QvDataSystemParam sys = system ? *system : QvDataSystemParam{};
    if (!CheckVideoParam(*video) || !CheckSystemParam(sys)) {
        m_initState.store(0);
        return -1;
    }
    std::shared_ptr<plat_client::IPlatClient> plat;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_video = *video;
        m_system = sys;
        m_baseUrl = Empty(baseUrl) ? DefaultPlatformUrl() : baseUrl;
        m_userId = userId;
        m_accessKey = accessKey;
        m_secretKey = secretKey;
        m_instanceNo = instanceNo;
        m_mode = mode;
        if (!m_plat) m_plat = plat_client::IPlatClient::Create();
        plat = m_plat;
    }
    int rc = plat->Init(m_baseUrl.c_str(), userId, accessKey, secretKey, kHubVersion, shared_from_this(),
                        static_cast<int>(sys.httpConnectTimeoutMs), static_cast<int>(sys.httpTimeoutMs));
    if (rc != 0) {
        m_initState.store(0);
        return rc;
    }
    auto config = std::make_shared<CConfig>();
    config->Load();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_config = config;
        m_notic = std::move(notic);
    }
    m_initState.store(2);
    InitStatistics();
    return 0;
}

int CQVDataControl::Start() {
    auto plat = Platform();
    if (m_initState.load() != 2 || !plat || m_started.load()) return -1;
    std::string instance;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        instance = m_instanceNo;
    }
    if (plat->GetPhoneConnect(instance.c_str(), "", "", nullptr) != 0) {
        QV_LOG(60, "[DATA_HUB]GetPhoneConnect failed");
        return -1;
    }
    m_started.store(true);
    return 0;
}

int CQVDataControl::UnInit() {
    int32_t expected = 2;
    if (!m_initState.compare_exchange_strong(expected, 3)) return -1;
    UpdateStat([](plat_client::MessageCollect& s) { s.endPlayTime = NowMs(); });
    m_firstFrame.store(false);
    ReportStat(1, 4, 0, "", "");
    std::shared_ptr<plat_client::IPlatClient> plat;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        plat = std::move(m_plat);
    }
    // The platform client goes first: once its loop has ended, no answer in
    // flight can bring up a stream link behind this tear-down.
    if (plat) plat->UnInit();
    plat.reset();
    DropStreamLink();
    std::shared_ptr<CConfig> config;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        config = std::move(m_config);
        m_notic.reset();
    }
    // The configuration is written when its last holder lets it go.
    config.reset();
    m_started.store(false);
    m_initState.store(0);
    return 0;
}

void CQVDataControl::DropStreamLink() {
    std::shared_ptr<relay_port::IRelayPort> relay;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        relay = std::move(m_relay);
    }
    if (relay) relay->UnInit();
}

void CQVDataControl::OnPhoneConnectRsp(int result, int httpCode, std::shared_ptr<plat_client::PhoneConnectRsp> rsp,
                                       const char*, void*) {
    const std::string path = rsp ? rsp->path : std::string();
    if (result != 0) {
        QV_LOG(60, "[DATA_HUB]GetPhoneConnect failed");
        Status(QV_STATUS_PHONE_CONNECT_FAILED, StatusText(QV_STATUS_PHONE_CONNECT_FAILED));
        ReportStat(0, 0, QV_STATUS_PHONE_CONNECT_FAILED, path.c_str(), "");
        return;
    }
    if (httpCode != 200 || !rsp) {
        QV_LOG(60, "[DATA_HUB]GetPhoneConnect get http code [%d]", httpCode);
        Status(QV_STATUS_PHONE_CONNECT_NOT_200, StatusText(QV_STATUS_PHONE_CONNECT_NOT_200));
        ReportStat(0, 0, QV_STATUS_PHONE_CONNECT_NOT_200, path.c_str(), "");
        return;
    }
    if (rsp->code != 0) {
        QV_LOG(60, "[DATA_HUB]GetPhoneConnect get http code [%d][%s]", rsp->code, rsp->msg.c_str());
        Status(rsp->code, rsp->msg.c_str());
        DropStreamLink();
        ReportStat(0, 5, rsp->code, path.c_str(), "");
        return;
    }
    StartStreamLink(*rsp);
}

void CQVDataControl::StartStreamLink(const plat_client::PhoneConnectRsp& rsp) {
    relay_port::WsAuthParam auth{};
    relay_port::WsVideoParam video{};
    relay_port::WsAudioParam audio{};
    relay_port::WsSystemParam system{};
    std::string user, url;
    std::shared_ptr<relay_port::IRelayPort> relay;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_initState.load() != 2) return;
        user = m_userId;
        url = std::string(m_system.secure ? "wss://" : "ws://") + rsp.webSocketDomain + ":" +
              std::to_string(rsp.webSocketPort);
        common::CopyText(auth.sessionId, rsp.sessionId.c_str());
        common::CopyText(auth.instanceNo, m_instanceNo.c_str());
        common::CopyText(auth.version, kHubVersion);
        auth.authType = 3;
        auth.authArg = static_cast<uint32_t>(m_mode);
        auth.authMode = 2;
        auth.timestamp = 0;
        video.codec = static_cast<uint32_t>(m_video.format);
        video.width = m_video.width;
        video.height = m_video.height;
        video.fps = static_cast<uint16_t>(m_video.fps);
        video.bitrate = static_cast<uint32_t>(m_video.bitrate);
        audio.codec = 1;
        audio.sampleRate = 48000;
        audio.channels = 2;
        system.reconnect = static_cast<uint8_t>(m_system.reconnect != 0);
        system.connectTimeoutMs = m_system.wsConnectTimeoutMs;
        system.reconnectIntervalMs = m_system.reconnectIntervalMs;
        system.reserved = static_cast<uint32_t>(m_system.secure);
        if (!m_relay) m_relay = relay_port::IRelayPort::Create();
        relay = m_relay;
    }
    int rc = relay->Init(user.c_str(), url.c_str(), &auth, &video, &audio, &system,
                         std::static_pointer_cast<relay_port::IRelayPortNotic>(shared_from_this()));
    if (rc != 0) {
        QV_LOG(60, "[DATA_HUB]Init WS failed");
        Status(QV_STATUS_WS_INIT_FAILED, StatusText(QV_STATUS_WS_INIT_FAILED));
        ReportStat(0, 0, QV_STATUS_WS_INIT_FAILED, rsp.path.c_str(), "");
    }
    UpdateStat([&](plat_client::MessageCollect& s) {
        s.sessionId = rsp.sessionId;
        s.controlIp = rsp.webSocketDomain;
        s.port = std::to_string(rsp.webSocketPort);
    });
}

void CQVDataControl::OnRefreshSessionRsp(int result, int httpCode,
                                         std::shared_ptr<plat_client::RefreshSessionRsp> rsp, const char*, void*) {
    const std::string path = rsp ? rsp->path : std::string();
    if (result != 0) {
        QV_LOG(60, "[DATA_HUB]OnRefreshSessionRsp failed");
        Status(QV_STATUS_REFRESH_FAILED, StatusText(QV_STATUS_REFRESH_FAILED));
        ReportStat(0, 0, QV_STATUS_REFRESH_FAILED, path.c_str(), "");
        return;
    }
    if (httpCode != 200 || !rsp) {
        QV_LOG(60, "[DATA_HUB]OnRefreshSessionRsp get http code [%d]", httpCode);
        Status(QV_STATUS_REFRESH_NOT_200, StatusText(QV_STATUS_REFRESH_NOT_200));
        ReportStat(0, 0, QV_STATUS_REFRESH_NOT_200, path.c_str(), "");
        return;
    }
    if (rsp->code != 0) {
        QV_LOG(60, "[DATA_HUB]OnRefreshSessionRsp get http code [%d][%s]", rsp->code, rsp->msg.c_str());
        Status(rsp->code, rsp->msg.c_str());
        DropStreamLink();
        ReportStat(0, 5, rsp->code, path.c_str(), "");
        return;
    }
    std::shared_ptr<relay_port::IRelayPort> relay;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        relay = m_relay;
    }
    if (relay) relay->UpdateSessionId(rsp->sessionId.c_str());
    UpdateStat([&](plat_client::MessageCollect& s) { s.sessionId = rsp->sessionId; });
}

void CQVDataControl::OnSecurityTokenRsp(int, int, std::shared_ptr<plat_client::SecurityTokenRsp> rsp, const char*,
                                        void*) {
    if (!rsp || rsp->code != 0) return;
    std::shared_ptr<CConfig> config;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        config = m_config;
    }
    if (config) config->SetMessageToken(rsp->accessKey, rsp->accessSecretKey);
}

void CQVDataControl::InitStatistics() {
    std::shared_ptr<CConfig> config;
    std::shared_ptr<plat_client::IPlatClient> plat;
    std::string instance;
    int mode;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        config = m_config;
        plat = m_plat;
        instance = m_instanceNo;
        mode = m_mode;
    }
    std::lock_guard<std::mutex> lock(m_statMutex);
    m_stat.businessType = mode == 0 ? 1 : 0;
    m_stat.instanceNo = instance;
    m_stat.protocolType = "websocket";
    m_stat.sdkType = "pc-sdk";
    m_stat.sdkVersion2 = kHubVersion;
    m_stat.appName = platform::ProgramFileName();
    std::string ak, sk;
    if (config) config->GetMessageToken(ak, sk);
    if (!plat) return;
    if (!ak.empty() && !sk.empty()) plat->SetStatMessageKey(ak.c_str(), sk.c_str());
    else plat->GetStatMessageSecurityToken(nullptr, nullptr);
}

void CQVDataControl::ReportStat(int metric, int collectType, int errorCode, const char* requestUrl,
                                const char* responseBody) {
    plat_client::MessageCollect record;
    {
        std::lock_guard<std::mutex> lock(m_statMutex);
        record = m_stat;
    }
    record.metric = metric;
    record.collectType = collectType;
    record.errorCode = errorCode == 0 ? std::string() : std::to_string(errorCode);
    record.requestUrl = requestUrl ? requestUrl : "";
    record.responseBody = responseBody ? responseBody : "";
    if (auto plat = Platform()) plat->StatMessageCollect(record, nullptr, nullptr);
}

void CQVDataControl::SetSdkVersion1(const char* text) {
    UpdateStat([&](plat_client::MessageCollect& s) { s.sdkVersion1 = text ? text : ""; });
}

}  // namespace data_hub
