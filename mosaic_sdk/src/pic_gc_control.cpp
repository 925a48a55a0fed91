// Life cycle of the group: Init with its checks and undo, Start, Uninit and
// the tear-down order; the exported statics.
#include "pic_gc_control.h"

#include <chrono>

#include "common/qv_log.h"
#include "notic_relays.h"

namespace mosaic_sdk {

namespace {

constexpr const char* kSdkVersion = "1.1.0";

int64_t SystemNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::shared_ptr<IMosaicSdk> IMosaicSdk::CreateMosaicSdk() { return std::make_shared<CQVPicGCControl>(); }

void IMosaicSdk::SetLogParam(QvLogParam* param) { common::ApplyLogParam(param, "MOSAIC_SDK"); }

int IMosaicSdk::GetMicCaptureSampleCount(capture::emCAPTURE_TYPE type, int value) {
    return IHandsetSdk::GetMicCaptureSampleCount(type, value);
}

CQVPicGCControl::CQVPicGCControl() : CQVPicGCControl(SystemNowMs) {}

CQVPicGCControl::CQVPicGCControl(Clock clock) : m_clock(clock ? std::move(clock) : Clock(SystemNowMs)) {}

// The lower libraries hold this object only weakly, so the last reference may
// go without Uninit: the group is taken down here then.
CQVPicGCControl::~CQVPicGCControl() { Uninit(); }

int CQVPicGCControl::Init(std::shared_ptr<IQVPhoneNotic> phoneNotic, std::shared_ptr<IPicGCNotic> notic,
                          const QvDataParam* data, const QvPicGCSysParam* gcParam, const QvPhoneParam* phoneParam,
                          const QvSysParam* sysParam, const QVOutParam* outParam, void* userData) {
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic group control Begin Init");
    int32_t expected = kGroupIdle;
    if (!m_state.compare_exchange_strong(expected, kGroupInitialising)) return -1;

    GroupParams params;
    int result = -1;
    if (!CheckGroupParams(phoneNotic && notic, data, gcParam, phoneParam, sysParam, outParam, params)) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]CheckParam failed");
    } else {
        {
            std::lock_guard<std::mutex> lock(m_configMutex);
            m_params = params;
            m_phoneNotic = phoneNotic;
            m_notic = notic;
            m_mainInstanceNo = FieldText(params.data->instanceNo);
            m_userData = userData;
            if (!m_platRelay) m_platRelay = std::make_shared<PlatNoticRelay>(weak_from_this());
            if (!m_nodeRelay) m_nodeRelay = std::make_shared<NodeNoticRelay>(weak_from_this());
        }
        result = BringUp(phoneNotic);
    }
    if (result != 0) {
        TearDown();
        m_state.store(kGroupIdle);
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]QV Pic group control Init failed");
        return -1;
    }
    m_state.store(kGroupReady);
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic group control Init succ");
    return 0;
}

// Main phone, node manager and platform client, in this order.
int CQVPicGCControl::BringUp(const std::shared_ptr<IQVPhoneNotic>& phoneNotic) {
    const GroupParams params = Params();
    if (params.data->instanceNo[0] != '\0') {
        auto phone = IHandsetSdk::CreateQVPhone();
        if (!phone || phone->Init(phoneNotic, params.data.get(), params.phone.get(), params.sys.get(),
                                  params.out.get()) != 0) {
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Init main phone failed");
            return -1;
        }
        std::lock_guard<std::mutex> lock(m_configMutex);
        m_mainPhone = phone;
    }

    auto fleet = fleet_link::IFleetLink::CreateFleetLink();
    if (!fleet || fleet->Init() != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Init pic GC interface failed");
        return -1;
    }
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        m_fleet = fleet;
    }

    std::shared_ptr<PlatNoticRelay> relay;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        relay = m_platRelay;
    }
    auto client = plat_client::IPlatClient::Create();
    if (!client || client->Init(params.data->baseUrl, params.data->userId, params.data->accessKey,
                                params.data->secretKey, kSdkVersion, relay, params.gc->apiConnectTimeoutMs,
                                params.gc->apiTimeoutMs) != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Init plat_client failed");
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_configMutex);
    m_platClient = client;
    return 0;
}

int CQVPicGCControl::Uninit() {
    int32_t expected = kGroupReady;
    if (!m_state.compare_exchange_strong(expected, kGroupTearingDown)) return expected;
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic group control Begin Uninit");
    TearDown();
    m_state.store(kGroupIdle);
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic group control Uninit succ");
    return 0;
}

// Node links, node table, main phone, platform client, node manager, then the
// stored records. Runs with the state away from "ready", so a platform answer
// that gets past the start mutex afterwards does nothing; waiting for one
// already setting up nodes is all the mutex is taken for here (the platform
// client's loop thread must stay free to finish). A SwitchMain under way
// keeps its new phone only while the state is "ready" (see ReplaceMainPhone).
void CQVPicGCControl::TearDown() {
    { std::lock_guard<std::mutex> wait(m_startMutex); }

    std::shared_ptr<fleet_link::IFleetLink> fleet;
    std::shared_ptr<IHandsetSdk> phone;
    std::shared_ptr<plat_client::IPlatClient> client;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        fleet = m_fleet;
    }
    std::vector<NodeLink> links;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (auto& node : m_tables.nodes)
            if (node.second.link) links.push_back(node.second.link);
    }
    if (fleet)
        for (auto& link : links) fleet->RemoveGCNode(link);
    links.clear();
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        m_tables.Clear();
        m_paused.clear();
    }
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        phone = std::move(m_mainPhone);
        m_mainPhone.reset();
    }
    if (phone) phone->Uninit();
    phone.reset();
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        client = std::move(m_platClient);
        m_platClient.reset();
    }
    if (client) client->UnInit();
    client.reset();
    if (fleet) fleet->UnInit();
    fleet.reset();
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        m_fleet.reset();
        m_params = GroupParams();
        m_phoneNotic.reset();
        m_notic.reset();
        m_userData = nullptr;
        m_mainInstanceNo.clear();
    }
    m_picturesReady.store(false);
    m_ready.store(false);
    m_startReported.store(false);
    m_startPending.store(false);
    m_pressActive.store(false);
    m_lastFlushMs.store(0);
}

int CQVPicGCControl::Start(const char* const* instanceNos, uint32_t count) {
    if (m_state.load() != kGroupReady || m_ready.load() || instanceNos == nullptr || count == 0) return -1;
    for (uint32_t i = 0; i < count; ++i)
        if (instanceNos[i] == nullptr) return -1;
    auto client = PlatClient();
    if (!client) return -1;
    // One start at a time; after a failed start the group may be started again.
    bool idle = false;
    if (!m_startPending.compare_exchange_strong(idle, true)) return -1;
    m_startReported.store(false);
    if (client->PhoneGroupControlConnect(instanceNos, count, nullptr, nullptr) != 0) {
        m_startPending.store(false);
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]PhoneGroupControlConnect failed");
        return -1;
    }
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic group control Start");
    return 0;
}

bool CQVPicGCControl::Accepting() const { return m_state.load() == kGroupReady && m_ready.load(); }

std::shared_ptr<IPicGCNotic> CQVPicGCControl::Notic(void** userData) const {
    std::lock_guard<std::mutex> lock(m_configMutex);
    if (userData != nullptr) *userData = m_userData;
    return m_notic;
}

std::shared_ptr<IHandsetSdk> CQVPicGCControl::MainPhone() const {
    std::lock_guard<std::mutex> lock(m_configMutex);
    return m_mainPhone;
}

std::shared_ptr<plat_client::IPlatClient> CQVPicGCControl::PlatClient() const {
    std::lock_guard<std::mutex> lock(m_configMutex);
    return m_platClient;
}

GroupParams CQVPicGCControl::Params() const {
    std::lock_guard<std::mutex> lock(m_configMutex);
    return m_params;
}

std::string CQVPicGCControl::MainNumber() const {
    std::lock_guard<std::mutex> lock(m_configMutex);
    return m_mainInstanceNo;
}

}  // namespace mosaic_sdk
