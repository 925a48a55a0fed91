#include "node_server.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>

#include "http_helpers.h"
#include "node_control.h"
#include "peers/ws_server.h"
#include "platform_codes.h"

namespace cloudsim {
namespace {

constexpr size_t kMaxNodeMessages = 20000;
constexpr const char* kNodePath = "/ws";

struct Outgoing {
    std::shared_ptr<peers::WsSession> socket;
    std::string package;
};

}  // namespace

struct NodeServer::State {
    State(std::string no, std::shared_ptr<CloudServices> svc, std::shared_ptr<SessionRegistry> sessions,
          PhoneMap phones)
        : nodeNo(no), services(std::move(svc)), control(std::move(no), std::move(sessions), std::move(phones)) {}

    const std::string nodeNo;
    const std::shared_ptr<CloudServices> services;
    const NodeControl control;

    mutable std::mutex mutex;
    NodeFaultScript faults;
    std::chrono::steady_clock::time_point refuseUntil;  // end of a time-limited upgrade refusal
    std::map<const peers::WsSession*, NodeConnection> connections;
    std::deque<NodeMessage> messages;
    uint64_t nextSeq = 1;
    int nextConnection = 0;
    int nextConnId = 0;
    size_t accepted = 0;

    int OnUpgrade(const peers::HttpRequest& request) {
        if (TargetPath(request.target) != kNodePath) return 404;
        std::lock_guard<std::mutex> lock(mutex);
        const bool refusing = faults.refuseUpgrade &&
                              (faults.refuseUpgradeMs <= 0 || std::chrono::steady_clock::now() < refuseUntil);
        return refusing ? 503 : 101;
    }

    void OnOpen(const std::shared_ptr<peers::WsSession>& socket) {
        std::lock_guard<std::mutex> lock(mutex);
        NodeConnection& connection = connections[socket.get()];
        connection.number = ++nextConnection;
        connection.socket = socket;
        ++accepted;
        services->log.Write(kLogInfo, "node %s: connection %d open", nodeNo.c_str(), connection.number);
    }

    void OnClose(const std::shared_ptr<peers::WsSession>& socket) {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = connections.find(socket.get());
        if (it == connections.end()) return;
        services->log.Write(kLogInfo, "node %s: connection %d (%s) closed", nodeNo.c_str(), it->second.number,
                            it->second.connId.c_str());
        connections.erase(it);
    }

    void Record(NodeMessage message) {
        message.seq = nextSeq++;
        message.timeMs = NowMs();
        message.nodeNo = nodeNo;
        messages.push_back(std::move(message));
        if (messages.size() > kMaxNodeMessages) messages.pop_front();
    }

    static Json::Value Answer(const std::string& connId, int code, const std::string& msg) {
        Json::Value body(Json::objectValue);
        body["connId"] = connId;
        body["code"] = code;
        body["msg"] = msg;
        return body;
    }

    static Json::Value ErrorReport(const std::string& connId, int errType, int errCode,
                                   const std::vector<std::pair<std::string, int>>& instances) {
        Json::Value body(Json::objectValue);
        body["connId"] = connId;
        body["errType"] = errType;
        body["errCode"] = errCode;
        body["errDetail"]["instanceList"] = Json::Value(Json::arrayValue);
        for (const auto& instance : instances) {
            Json::Value item(Json::objectValue);
            item["instanceNo"] = instance.first;
            item["errCode"] = instance.second;
            body["errDetail"]["instanceList"].append(item);
        }
        return body;
    }

    void OnMessage(const std::shared_ptr<peers::WsSession>& socket, const std::string& data, bool binary) {
        NodeRequest request;
        const std::string error = ReadNodeRequest(data, binary, request);
        std::vector<Outgoing> out;
        std::vector<NodeDelivery> deliveries;
        std::string connId;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto it = connections.find(socket.get());
            if (it == connections.end()) return;  // the node stopped meanwhile
            NodeConnection& connection = it->second;
            NodeMessage message;
            message.connection = connection.number;
            message.connId = connection.connId;
            message.type = request.type;
            message.kind = error.empty() ? request.kind : "invalid";
            message.body = request.body;
            message.error = error;
            if (!error.empty()) {
                services->log.Write(kLogWarn, "node %s: connection %d sent a bad package: %s", nodeNo.c_str(),
                                    connection.number, error.c_str());
                // A request whose answer type is known learns why it was refused.
                const uint32_t answerType = AnswerTypeOf(request.type);
                if (answerType != 0 && !faults.silent) {
                    message.code = kApiBadRequest;
                    out.push_back({socket, NodePackage(answerType, Answer(connection.connId, kApiBadRequest, error))});
                }
            } else if (!faults.silent) {
                Handle(connection, request, message, out, deliveries);
            }
            connId = connection.connId;
            Record(std::move(message));
        }
        for (const auto& item : out) item.socket->SendBinary(item.package);
        for (const auto& delivery : deliveries) control.Apply(delivery, connId, *services);
    }

    // Answers one checked request (mutex held).
    void Handle(NodeConnection& connection, const NodeRequest& request, NodeMessage& message,
                std::vector<Outgoing>& out, std::vector<NodeDelivery>& deliveries) {
        auto answer = [&](uint32_t type, const Json::Value& body) {
            if (body.isMember("code")) message.code = body["code"].asInt();
            out.push_back({connection.socket, NodePackage(type, body)});
        };
        if (request.type == node_type::kRegisterReq) {
            Json::Value body = Answer("", faults.registerCode, faults.registerMsg);
            if (faults.registerCode == 0) {
                if (connection.connId.empty()) connection.connId = nodeNo + "-conn-" + std::to_string(++nextConnId);
                body = Answer(connection.connId, 0, "success");
                message.connId = connection.connId;
            }
            body["ts"] = static_cast<Json::Int64>(NowMs());
            return answer(node_type::kRegisterRsp, body);
        }
        if (connection.connId.empty() || request.connId != connection.connId) {
            message.error = "connId \"" + request.connId + "\" is not this connection's";
            const uint32_t answerType = AnswerTypeOf(request.type);
            if (answerType != 0) answer(answerType, Answer(connection.connId, kApiNotRegistered, message.error));
            return;
        }
        const bool refused = faults.answerCode != 0;
        const Json::Value refusal = Answer(connection.connId, faults.answerCode, faults.answerMsg);
        switch (request.type) {
            case node_type::kHeartBeat: {
                if (faults.noHeartbeatEcho) return;
                Json::Value echo(Json::objectValue);
                echo["connId"] = connection.connId;
                echo["ts"] = static_cast<Json::Int64>(request.ts);
                out.push_back({connection.socket, NodePackage(node_type::kHeartBeat, echo)});
                return;
            }
            case node_type::kHeartBeatRsp:
                connection.lastDelayMs = request.delay;
                return;
            case node_type::kStartControlReq: {
                if (refused) return answer(node_type::kStartControlRsp, refusal);
                const auto failed = control.Start(connection, request);
                answer(node_type::kStartControlRsp, Answer(connection.connId, 0, "success"));
                if (!failed.empty()) {
                    message.error = std::to_string(failed.size()) + " instance(s) refused";
                    out.push_back({connection.socket,
                                   NodePackage(node_type::kError,
                                               ErrorReport(connection.connId, 2, failed.front().second, failed))});
                }
                services->log.Write(kLogInfo, "node %s: %s controls %zu instance(s), main %s", nodeNo.c_str(),
                                    connection.connId.c_str(), connection.instances.size(),
                                    connection.mainInstanceNo.c_str());
                return;
            }
            case node_type::kAddInstanceReq:
            case node_type::kReduceInstanceReq: {
                const bool reduce = request.type == node_type::kReduceInstanceReq;
                const uint32_t type = reduce ? node_type::kReduceInstanceRsp : node_type::kAddInstanceRsp;
                if (refused) return answer(type, refusal);
                const auto unknown = control.SetReduced(connection, request.instanceNos, reduce);
                if (unknown.empty()) return answer(type, Answer(connection.connId, 0, "success"));
                std::string names;
                for (const auto& no : unknown) names += (names.empty() ? "" : ", ") + no;
                message.error = "not under this connection's control: " + names;
                return answer(type, Answer(connection.connId, kApiNotControlled, message.error));
            }
            case node_type::kQueryStatusReq: {
                if (refused) return answer(node_type::kQueryStatusRsp, refusal);
                Json::Value body = Answer(connection.connId, 0, "success");
                body["instanceList"] = control.StatusList(connection);
                return answer(node_type::kQueryStatusRsp, body);
            }
            case node_type::kStopControlReq:
                connection.instances.clear();
                connection.mainInstanceNo.clear();
                return answer(node_type::kStopControlRsp, Answer(connection.connId, 0, "success"));
            case node_type::kSwitchMainReq:
                if (refused) return answer(node_type::kSwitchMainRsp, refusal);
                connection.mainInstanceNo = request.newMainInstanceNo;
                return answer(node_type::kSwitchMainRsp, Answer(connection.connId, 0, "success"));
            case node_type::kInputReq:
                deliveries = control.Deliveries(connection, request.input);
                message.body["opData"] = request.input.fields;
                return;
            default:
                return;
        }
    }
};

NodeServer::NodeServer(std::string nodeNo, std::shared_ptr<CloudServices> services,
                       std::shared_ptr<SessionRegistry> sessions, PhoneMap phones)
    : m_nodeNo(nodeNo),
      m_state(std::make_shared<State>(std::move(nodeNo), std::move(services), std::move(sessions), std::move(phones))) {}

NodeServer::~NodeServer() { Stop(); }

int NodeServer::Listen(uint16_t port, std::string* error) {
    std::lock_guard<std::mutex> lock(m_serverMutex);
    if (m_server) return 0;
    // The handlers hold the state weakly: they may run while the node goes away.
    std::weak_ptr<State> weak = m_state;
    peers::WsHandlers handlers;
    handlers.onUpgrade = [weak](const peers::HttpRequest& request) {
        auto state = weak.lock();
        return state ? state->OnUpgrade(request) : 503;
    };
    handlers.onOpen = [weak](std::shared_ptr<peers::WsSession> socket) {
        if (auto state = weak.lock()) state->OnOpen(socket);
    };
    handlers.onClose = [weak](std::shared_ptr<peers::WsSession> socket) {
        if (auto state = weak.lock()) state->OnClose(socket);
    };
    handlers.onMessage = [weak](std::shared_ptr<peers::WsSession> socket, const std::string& data, bool binary) {
        if (auto state = weak.lock()) state->OnMessage(socket, data, binary);
    };
    const uint16_t wanted = m_port != 0 ? m_port : port;
    auto server = std::make_unique<peers::WsServer>(handlers, peers::WsTransport::kEither, wanted);
    if (server->Port() == 0) {
        if (error) *error = "node " + m_nodeNo + " cannot listen on 127.0.0.1:" + std::to_string(wanted);
        return -1;
    }
    m_port = server->Port();
    m_server = std::move(server);
    m_state->services->log.Write(kLogInfo, "group-control node %s on ws and wss port %u", m_nodeNo.c_str(), m_port);
    return 0;
}

void NodeServer::Stop() {
    std::unique_ptr<peers::WsServer> server;
    {
        std::lock_guard<std::mutex> lock(m_serverMutex);
        server = std::move(m_server);
    }
    if (!server) return;
    server->Stop();
    server.reset();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->connections.clear();
    m_state->services->log.Write(kLogInfo, "group-control node %s stopped", m_nodeNo.c_str());
}

int NodeServer::Cut(bool closeFrame) {
    std::vector<std::shared_ptr<peers::WsSession>> sockets;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        for (const auto& entry : m_state->connections) sockets.push_back(entry.second.socket);
    }
    m_state->services->log.Write(kLogInfo, "fault: %s %zu connection(s) of node %s", closeFrame ? "close" : "drop",
                                 sockets.size(), m_nodeNo.c_str());
    for (const auto& socket : sockets) {
        if (closeFrame) socket->Close(1000);
        else socket->Drop();
    }
    return static_cast<int>(sockets.size());
}

uint16_t NodeServer::Port() const {
    std::lock_guard<std::mutex> lock(m_serverMutex);
    return m_port;
}

NodeView NodeServer::View() const {
    NodeView view;
    view.nodeNo = m_nodeNo;
    {
        std::lock_guard<std::mutex> lock(m_serverMutex);
        view.port = m_port;
        view.listening = m_server != nullptr;
    }
    std::lock_guard<std::mutex> lock(m_state->mutex);
    view.accepted = m_state->accepted;
    for (const auto& entry : m_state->connections) {
        const NodeConnection& connection = entry.second;
        NodeConnectionView item;
        item.connection = connection.number;
        item.connId = connection.connId;
        item.mainInstanceNo = connection.mainInstanceNo;
        item.streamWidth = static_cast<int>(connection.streamWidth);
        item.streamHeight = static_cast<int>(connection.streamHeight);
        item.lastDelayMs = connection.lastDelayMs;
        for (const auto& instance : connection.instances) {
            NodeInstanceView inst;
            inst.instanceNo = instance.entry.instanceNo;
            inst.sessionId = instance.entry.sessionId;
            inst.uid = instance.entry.uid;
            inst.state = instance.state;
            inst.errCode = instance.errCode;
            inst.main = instance.entry.instanceNo == connection.mainInstanceNo;
            item.instances.push_back(inst);
        }
        view.connections.push_back(item);
    }
    std::sort(view.connections.begin(), view.connections.end(),
              [](const NodeConnectionView& a, const NodeConnectionView& b) { return a.connection < b.connection; });
    return view;
}

std::vector<NodeMessage> NodeServer::Messages() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return std::vector<NodeMessage>(m_state->messages.begin(), m_state->messages.end());
}

void NodeServer::ClearMessages() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->messages.clear();
}

void NodeServer::SetFaults(const NodeFaultScript& faults) {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->faults = faults;
    m_state->refuseUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(faults.refuseUpgradeMs);
}

int NodeServer::SendError(int errType, int errCode, const std::vector<std::pair<std::string, int>>& instances) {
    std::vector<Outgoing> out;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        for (const auto& entry : m_state->connections) {
            const NodeConnection& connection = entry.second;
            if (connection.connId.empty()) continue;
            out.push_back({connection.socket, NodePackage(node_type::kError, State::ErrorReport(connection.connId,
                                                                                               errType, errCode,
                                                                                               instances))});
        }
    }
    for (const auto& item : out) item.socket->SendBinary(item.package);
    return static_cast<int>(out.size());
}

}  // namespace cloudsim
