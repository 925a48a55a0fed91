// Notifications of the node links: connection states, StartControl for each
// node's index range (again after every reconnection), answers and errors.
#include <cstring>

#include "common/qv_log.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

void CQVPicGCControl::OnNodeStatus(int status, const char* nodeName) {
    if (m_state.load() != kGroupReady || nodeName == nullptr) return;
    bool startControl = false;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        auto it = m_tables.nodes.find(nodeName);
        if (it == m_tables.nodes.end()) return;
        GCNodeInfo& node = it->second;
        switch (status) {
            case fleet_link::NODE_STATUS_DISCONNECTED:
                QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic GC node [%s] disconnected", nodeName);
                node.state = kNodeDisconnected;
                break;
            case fleet_link::NODE_STATUS_CONNECTING:
                QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic GC node [%s] connecting", nodeName);
                node.state = kNodeConnecting;
                break;
            case fleet_link::NODE_STATUS_CONNECTED:
                QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]QV Pic GC node [%s] connected", nodeName);
                node.state = kNodeConnected;
                node.refusalCode = 0;
                // The link may connect before AddGCNode's caller stored it;
                // control then starts when it is stored.
                if (node.link) startControl = true;
                else node.controlPending = true;
                break;
            default:
                break;
        }
    }
    if (startControl) StartControl(nodeName);
    CheckStartComplete();
}

void CQVPicGCControl::StartControl(const std::string& nodeNo) {
    const GroupParams params = Params();
    const std::string mainNo = MainNumber();
    NodeLink link;
    std::vector<fleet_link::ControlInstance> instances;
    fleet_link::StreamConf conf{};
    int first = -1;
    int last = -1;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        auto it = m_tables.nodes.find(nodeNo);
        if (it == m_tables.nodes.end()) return;
        first = it->second.firstIndex;
        last = it->second.lastIndex;
        const bool rangeKnown = first >= 0 && last >= first && static_cast<size_t>(last) < m_tables.instances.size();
        if (it->second.link && params.phone && params.data && rangeKnown) {
            link = it->second.link;
            for (int i = first; i <= last; ++i) {
                const InstanceStatusInfo& entry = m_tables.instances[i];
                fleet_link::ControlInstance instance{};
                std::memcpy(instance.uid, params.data->userId, sizeof instance.uid);
                std::memcpy(instance.sessionId, entry.sessionId, sizeof instance.sessionId);
                std::memcpy(instance.instanceNo, entry.instanceNo, sizeof instance.instanceNo);
                instances.push_back(instance);
            }
            conf.width = params.phone->width;
            conf.height = params.phone->height;
        }
    }
    if (!link) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK][%s]StartControl failed: instance Index[%d-%d]", nodeNo.c_str(), first,
               last);
        return;
    }
    if (link->StartControl(mainNo.c_str(), &conf, instances.data(), static_cast<uint32_t>(instances.size())) != 0)
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]fleet_link node [%s] StartControl failed", nodeNo.c_str());
}

void CQVPicGCControl::OnStartControlRes(int code, const char* nodeName) {
    if (m_state.load() != kGroupReady || nodeName == nullptr) return;
    std::lock_guard<std::mutex> lock(m_tableMutex);
    auto it = m_tables.nodes.find(nodeName);
    if (it == m_tables.nodes.end()) return;
    if (code == 0) {
        it->second.state = kNodeControlling;
    } else {
        it->second.state = kNodeControlRefused;
        it->second.refusalCode = code;
    }
}

void CQVPicGCControl::OnNodeAnswerError(NodeAnswer answer, int code, const char* msg, const char* nodeName) {
    if (code == 0) return;
    const char* node = nodeName ? nodeName : "";
    const char* text = msg ? msg : "";
    switch (answer) {
        case NodeAnswer::kAddInstance:
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]node [%s] AddInstance error[%d][%s]", node, code, text);
            break;
        case NodeAnswer::kReduceInstance:
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]node [%s] ReduceInstance error[%d][%s]", node, code, text);
            break;
        case NodeAnswer::kSwitchMain:
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]node [%s] SwitchMain error[%d][%s]", node, code, text);
            break;
    }
}

void CQVPicGCControl::OnQueryInstanceStatusRes(int code, const char* msg, const fleet_link::InstanceStateInfo* infos,
                                               size_t count, const char* nodeName) {
    if (code != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]node [%s] query instance status error[%d][%s]", nodeName ? nodeName : "",
               code, msg ? msg : "");
        return;
    }
    if (infos == nullptr) return;
    std::lock_guard<std::mutex> lock(m_tableMutex);
    for (size_t i = 0; i < count; ++i) {
        InstanceStatusInfo* entry = m_tables.Find(std::string(infos[i].instanceNo, strnlen(infos[i].instanceNo, 256)));
        if (entry == nullptr) continue;
        entry->state = infos[i].state;
        entry->width = infos[i].width;
        entry->height = infos[i].height;
        entry->errCode = infos[i].errCode;
        entry->isProxy = infos[i].isProxy;
    }
}

void CQVPicGCControl::OnNodeError(EErrorType type, int code, const char* msg, const InstanceErrorInfo* infos,
                                  size_t count) {
    if (m_state.load() != kGroupReady) return;
    void* userData = nullptr;
    auto notic = Notic(&userData);
    if (notic) notic->OnGCErrorNotic(type, code, msg, infos, count, userData);
}

}  // namespace mosaic_sdk
