#include "group_tables.h"

#include <algorithm>
#include <cstring>

#include "common/qv_log.h"

namespace mosaic_sdk {

std::string FieldText(const char (&field)[256]) { return std::string(field, strnlen(field, sizeof field)); }

void GroupTables::Clear() {
    instances.clear();
    index.clear();
    nodes.clear();
    screenshotNos.clear();
}

InstanceStatusInfo* GroupTables::Find(const std::string& instanceNo) {
    auto it = index.find(instanceNo);
    if (it == index.end() || it->second < 0 || static_cast<size_t>(it->second) >= instances.size()) return nullptr;
    return &instances[it->second];
}

GCNodeInfo* GroupTables::NodeOf(const std::string& instanceNo) {
    InstanceStatusInfo* entry = Find(instanceNo);
    if (entry == nullptr) return nullptr;
    auto it = nodes.find(FieldText(entry->nodeNo));
    return it == nodes.end() ? nullptr : &it->second;
}

namespace {

InstanceStatusInfo Entry(const std::string& instanceNo, const std::string& nodeNo, const std::string& sessionId,
                         int32_t state, int32_t errCode) {
    InstanceStatusInfo entry{};
    common::CopyText(entry.instanceNo, instanceNo.c_str());
    common::CopyText(entry.nodeNo, nodeNo.c_str());
    common::CopyText(entry.sessionId, sessionId.c_str());
    entry.state = state;
    entry.errCode = errCode;
    return entry;
}

}  // namespace

GroupTables BuildGroupTables(const plat_client::PhoneGroupControlConnectRsp& answer) {
    GroupTables tables;
    for (const auto& node : answer.idcServerNodeList) {
        GCNodeInfo& info = tables.nodes[node.idcServerNodeNo];  // a node listed twice keeps its last address
        info.nodeNo = node.idcServerNodeNo;
        info.address = node.nodeIp;
        info.port = node.nodePort;
    }
    for (const auto& accepted : answer.successList) {
        tables.instances.push_back(Entry(accepted.instanceNo, accepted.gCtrlNodeNo, accepted.sessionId, 0, 0));
        tables.screenshotNos.push_back(accepted.instanceNo);
    }
    std::stable_sort(tables.instances.begin(), tables.instances.end(),
                     [](const InstanceStatusInfo& a, const InstanceStatusInfo& b) {
                         return std::strcmp(a.nodeNo, b.nodeNo) < 0;
                     });
    for (const auto& refused : answer.failList) {
        tables.instances.push_back(Entry(refused.instanceNo, "", "", kInstanceRefused, refused.errorCode));
        tables.screenshotNos.push_back(refused.instanceNo);
    }
    for (size_t i = 0; i < tables.instances.size(); ++i) {
        const int position = static_cast<int>(i);
        tables.index[FieldText(tables.instances[i].instanceNo)] = position;
        auto node = tables.nodes.find(FieldText(tables.instances[i].nodeNo));
        if (node == tables.nodes.end()) continue;
        if (node->second.firstIndex < 0) node->second.firstIndex = position;
        node->second.lastIndex = position;
    }
    return tables;
}

std::map<std::string, std::vector<std::string>> GroupByNode(const GroupTables& tables,
                                                            const std::vector<std::string>& instanceNos,
                                                            std::vector<std::string>& unknown) {
    std::map<std::string, std::vector<std::string>> groups;
    for (const auto& instanceNo : instanceNos) {
        auto it = tables.index.find(instanceNo);
        if (it == tables.index.end()) {
            unknown.push_back(instanceNo);
            continue;
        }
        groups[FieldText(tables.instances[it->second].nodeNo)].push_back(instanceNo);
    }
    return groups;
}

}  // namespace mosaic_sdk
