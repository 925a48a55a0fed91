#include "node_control.h"

#include <algorithm>

#include "platform_codes.h"

namespace cloudsim {
namespace {

ControlledInstance* Find(NodeConnection& connection, const std::string& instanceNo) {
    for (auto& instance : connection.instances) {
        if (instance.entry.instanceNo == instanceNo) return &instance;
    }
    return nullptr;
}

int64_t Scale(int64_t value, int64_t to, int64_t from) { return from > 0 && to > 0 ? value * to / from : value; }

Json::Value PointsJson(const std::vector<std::pair<int64_t, int64_t>>& points) {
    Json::Value list(Json::arrayValue);
    for (const auto& p : points) {
        Json::Value point(Json::arrayValue);
        point.append(static_cast<Json::Int64>(p.first));
        point.append(static_cast<Json::Int64>(p.second));
        list.append(point);
    }
    return list;
}

}  // namespace

NodeControl::NodeControl(std::string nodeNo, std::shared_ptr<SessionRegistry> sessions, PhoneMap phones)
    : m_nodeNo(std::move(nodeNo)), m_sessions(std::move(sessions)), m_phones(std::move(phones)) {}

int NodeControl::CheckEntry(const ControlEntry& entry) const {
    if (m_phones.find(entry.instanceNo) == m_phones.end()) return kApiUnknownInstance;
    const std::shared_ptr<Session> session = m_sessions->Find(entry.sessionId);
    if (!session || !session->GroupControl() || !session->IsCurrentId(entry.sessionId)) return kApiUnknownSession;
    if (session->InstanceNo() != entry.instanceNo || session->UserId() != entry.uid) return kApiNotOwner;
    if (session->Ended() || session->Expired(NowMs())) return kApiSessionEnded;
    if (!session->NodeNo().empty() && session->NodeNo() != m_nodeNo) return kApiOtherNode;
    return 0;
}

std::vector<std::pair<std::string, int>> NodeControl::Start(NodeConnection& connection,
                                                            const NodeRequest& request) const {
    std::vector<std::pair<std::string, int>> refused;
    connection.instances.clear();
    connection.mainInstanceNo = request.mainInstanceNo;
    connection.streamWidth = request.width;
    connection.streamHeight = request.height;
    for (const ControlEntry& entry : request.entries) {
        ControlledInstance instance;
        instance.entry = entry;
        instance.errCode = CheckEntry(entry);
        if (instance.errCode != 0) {
            instance.state = kNodeInstanceFailed;
            refused.emplace_back(entry.instanceNo, instance.errCode);
        }
        if (ControlledInstance* same = Find(connection, entry.instanceNo)) {
            *same = instance;  // a repeated instance counts once, as last given
        } else {
            connection.instances.push_back(instance);
        }
    }
    return refused;
}

std::vector<std::string> NodeControl::SetReduced(NodeConnection& connection,
                                                 const std::vector<std::string>& instanceNos, bool reduced) const {
    std::vector<std::string> unknown;
    for (const std::string& instanceNo : instanceNos) {
        ControlledInstance* instance = Find(connection, instanceNo);
        if (instance == nullptr) {
            unknown.push_back(instanceNo);
        } else if (instance->state != kNodeInstanceFailed) {
            instance->state = reduced ? kNodeInstanceReduced : kNodeInstanceControlled;
        }
    }
    return unknown;
}

Json::Value NodeControl::StatusList(const NodeConnection& connection) const {
    Json::Value list(Json::arrayValue);
    for (const auto& instance : connection.instances) {
        Json::Value item(Json::objectValue);
        item["instanceNo"] = instance.entry.instanceNo;
        item["state"] = instance.state;
        int width = 0;
        int height = 0;
        auto phone = m_phones.find(instance.entry.instanceNo);
        if (phone != m_phones.end()) {
            const PhoneState state = phone->second->Snapshot();
            width = state.width;
            height = state.height;
        }
        item["width"] = width;
        item["height"] = height;
        item["errCode"] = instance.errCode;
        item["isProxy"] = false;
        list.append(item);
    }
    return list;
}

std::pair<int64_t, int64_t> NodeControl::SourceSize(const NodeConnection& connection) const {
    auto main = m_phones.find(connection.mainInstanceNo);
    if (main != m_phones.end()) {
        const PhoneState state = main->second->Snapshot();
        return {state.width, state.height};
    }
    return {connection.streamWidth, connection.streamHeight};
}

std::vector<NodeDelivery> NodeControl::Deliveries(const NodeConnection& connection, const NodeInput& input) const {
    std::vector<NodeDelivery> deliveries;
    const bool perInstance = input.opType == 11 || input.opType == 12;
    const auto source = SourceSize(connection);
    for (const auto& instance : connection.instances) {
        if (instance.state != kNodeInstanceControlled) continue;
        const std::string& instanceNo = instance.entry.instanceNo;
        auto phone = m_phones.find(instanceNo);
        if (phone == m_phones.end()) continue;
        NodeDelivery delivery;
        delivery.phone = phone->second;
        delivery.sessionId = instance.entry.sessionId;
        delivery.input = input;
        if (perInstance) {
            // Text for named instances reaches them whether they lead or follow.
            auto& texts = delivery.input.perInstance;
            texts.erase(std::remove_if(texts.begin(), texts.end(),
                                       [&instanceNo](const auto& item) { return item.first != instanceNo; }),
                        texts.end());
            if (texts.empty()) continue;
        } else if (instanceNo == connection.mainInstanceNo) {
            continue;  // the main phone gets its input over its own stream
        }
        if (!input.points.empty()) {
            const PhoneState state = delivery.phone->Snapshot();
            delivery.sourcePoints = PointsJson(input.points);
            for (auto& point : delivery.input.points) {
                point.first = Scale(point.first, state.width, source.first);
                point.second = Scale(point.second, state.height, source.second);
            }
            delivery.input.fields["points"] = PointsJson(delivery.input.points);
            delivery.input.fields["sourcePoints"] = delivery.sourcePoints;
            delivery.input.fields["screenWidth"] = state.width;
            delivery.input.fields["screenHeight"] = state.height;
        }
        deliveries.push_back(std::move(delivery));
    }
    return deliveries;
}

void NodeControl::Apply(const NodeDelivery& delivery, const std::string& connId, CloudServices& services) const {
    const NodeInput& input = delivery.input;
    SyntheticPhone& phone = *delivery.phone;
    switch (input.opType) {
        case 1: phone.InputText(input.text); break;
        case 2: phone.SetClipboard(input.text); break;
        case 3: phone.Key(input.key, input.down); break;
        case 7: phone.Touch(input.touchType, input.points); break;
        case 11:
            for (const auto& item : input.perInstance) phone.InputText(item.second);
            break;
        case 12:
            for (const auto& item : input.perInstance) phone.SetClipboard(item.second);
            break;
        default: break;  // mouse, position, sensor and message transfer are recorded only
    }
    if (services.inputApplied) services.inputApplied(phone.InstanceNo(), input.kind, true);
    ReceivedMessage record;
    record.timeUs = NowUs();
    record.timeMs = record.timeUs / 1000;
    record.instanceNo = phone.InstanceNo();
    record.sessionId = delivery.sessionId;
    record.type = node_type::kInputReq;
    record.kind = input.kind;
    record.fields = input.fields;
    record.fields["via"] = "node";
    record.fields["nodeNo"] = m_nodeNo;
    record.fields["connId"] = connId;
    record.fields["opType"] = input.opType;
    services.records.AddMessage(std::move(record));
}

}  // namespace cloudsim
