// The platform's group-control answer: the tables, one node link per node,
// the screenshot request and the main phone's start.
#include "common/qv_log.h"
#include "notic_relays.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

namespace {

constexpr const char* kSdkVersion = "1.1.0";
constexpr int kNodeQueryIntervalMs = 5000;

}  // namespace

void CQVPicGCControl::ReportStart(int code, const char* msg) {
    void* userData = nullptr;
    auto notic = Notic(&userData);
    if (code == MOSAIC_SUCCESS) m_ready.store(true);
    m_startReported.store(true);
    m_startPending.store(false);
    if (notic) notic->OnErrorNotic(code, msg, userData);
}

// The start's outcome is notified after the start mutex is released: the
// application may call Uninit from its notification.
void CQVPicGCControl::OnGroupControlAnswer(int result, int httpCode,
                                           const std::shared_ptr<plat_client::PhoneGroupControlConnectRsp>& answer) {
    int code = MOSAIC_SUCCESS;
    std::string msg;
    {
        std::lock_guard<std::mutex> startLock(m_startMutex);
        if (m_state.load() != kGroupReady || !m_startPending.load()) return;
        SetUpGroup(result, httpCode, answer, code, msg);
    }
    if (code != MOSAIC_SUCCESS) ReportStart(code, msg.c_str());
    else CheckStartComplete();  // nodes that failed to be added count as reported
}

void CQVPicGCControl::SetUpGroup(int result, int httpCode,
                                 const std::shared_ptr<plat_client::PhoneGroupControlConnectRsp>& answer, int& code,
                                 std::string& msg) {
    auto fail = [&](int failure) {
        code = failure;
        msg = MosaicErrorText(failure);
    };
    if (result != 0 || !answer) {  // the platform client always hands a record; none counts as a failed transfer
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetPhoneGroupControlConnect failed");
        return fail(MOSAIC_GC_CONNECT_FAILED);
    }
    if (httpCode != 200) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetPhoneGroupControlConnect get http code [%d]", httpCode);
        return fail(MOSAIC_GC_CONNECT_NOT_200);
    }
    if (answer->code != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetPhoneGroupControlConnect get code [%d]", answer->code);
        code = answer->code;
        msg = answer->msg;
        return;
    }
    if (answer->idcServerNodeList.empty()) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetPhoneGroupControlConnect can not get node service");
        return fail(MOSAIC_GC_NO_NODE);
    }

    GroupTables tables = BuildGroupTables(*answer);
    const std::vector<std::string> screenshotNos = tables.screenshotNos;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        m_tables = std::move(tables);
        m_paused.clear();
    }
    AddNodes(Params());

    bool anyAdded = false;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (const auto& node : m_tables.nodes) anyAdded = anyAdded || node.second.link != nullptr;
    }
    if (!anyAdded) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetPhoneGroupControlConnect add all node service failed");
        return fail(MOSAIC_GC_ADD_NODES_FAILED);
    }
    SendScreenshotRequest(screenshotNos);
    if (auto phone = MainPhone()) {
        if (phone->Start() != 0) QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]start main phone failed");
    }
}

// One link per node, in node-number order. The node manager is called
// without the table lock: its loop thread reports into the table meanwhile.
void CQVPicGCControl::AddNodes(const GroupParams& params) {
    std::shared_ptr<fleet_link::IFleetLink> fleet;
    std::shared_ptr<NodeNoticRelay> relay;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        fleet = m_fleet;
        relay = m_nodeRelay;
    }
    std::vector<std::pair<std::string, std::string>> targets;  // node number, URL
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (const auto& node : m_tables.nodes) {
            const std::string url = std::string(params.gc->secureWebSocket ? "wss://" : "ws://") +
                                    node.second.address + ":" + std::to_string(node.second.port) + "/ws";
            targets.emplace_back(node.first, url);
        }
    }
    for (const auto& target : targets) {
        const std::string& nodeNo = target.first;
        NodeLink link;
        if (fleet)
            link = fleet->AddGCNode(relay, target.second.c_str(), kSdkVersion, nodeNo.c_str(),
                                    params.gc->autoReconnect, kNodeQueryIntervalMs, params.gc->reconnectIntervalMs,
                                    params.gc->connectTimeoutMs, nullptr);
        bool startNow = false;
        {
            std::lock_guard<std::mutex> lock(m_tableMutex);
            auto it = m_tables.nodes.find(nodeNo);
            if (it == m_tables.nodes.end()) continue;
            if (!link) {
                it->second.state = kNodeAddFailed;
            } else {
                it->second.link = link;
                startNow = it->second.controlPending;
                it->second.controlPending = false;
            }
        }
        if (!link) {
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]AddGCNode [%s] failed", nodeNo.c_str());
            continue;
        }
        QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]AddGCNode [%s] succ", nodeNo.c_str());
        if (startNow) StartControl(nodeNo);
    }
}

void CQVPicGCControl::CheckStartComplete() {
    if (m_startReported.load() || !m_startPending.load()) return;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        if (m_tables.nodes.empty()) return;
        for (const auto& node : m_tables.nodes)
            if (node.second.state == kNodeNoStatus) return;
    }
    // Only one caller reports, whichever thread sees completion first.
    bool expected = true;
    if (!m_startPending.compare_exchange_strong(expected, false)) return;
    m_ready.store(true);
    m_startReported.store(true);
    void* userData = nullptr;
    auto notic = Notic(&userData);
    if (notic) notic->OnErrorNotic(MOSAIC_SUCCESS, MosaicErrorText(MOSAIC_SUCCESS), userData);
}

}  // namespace mosaic_sdk
