#include "peers/node_peer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "peers/ws_server.h"

namespace peers {

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string StringOf(const Json::Value& obj, const char* key) {
    if (!obj.isObject()) return "";
    const Json::Value& v = obj[key];
    return v.isString() ? v.asString() : "";
}

}  // namespace

struct NodePeer::Impl {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<NodePackage> packages;
    std::vector<NodeInstance> instances;
    std::string mainInstance;
    std::map<int, std::string> connIds;
    std::map<int, std::shared_ptr<WsSession>> open;
    size_t accepted = 0;
    size_t closed = 0;
    size_t badFrames = 0;
    int upgradeStatus = 101;
    int registerCode = 0;
    std::string registerMsg = "success";
    bool echoHeartbeat = true;
    bool autoAnswer = true;
    int answerCode = 0;
    std::string answerMsg = "success";
    std::map<std::string, NodeInstance> scriptedStates;

    std::unique_ptr<WsServer> server;

    void OnOpen(const std::shared_ptr<WsSession>& session) {
        std::lock_guard<std::mutex> lock(mutex);
        ++accepted;
        open[session->Id()] = session;
        changed.notify_all();
    }

    void OnClose(const std::shared_ptr<WsSession>& session) {
        std::lock_guard<std::mutex> lock(mutex);
        if (open.erase(session->Id()) > 0) ++closed;
        changed.notify_all();
    }

    void OnMessage(const std::shared_ptr<WsSession>& session, const std::string& data, bool binary) {
        NodePackage package;
        package.session = session->Id();
        if (!binary || !SplitNodePackage(data, package.type, package.body)) {
            std::lock_guard<std::mutex> lock(mutex);
            ++badFrames;
            changed.notify_all();
            return;
        }
        package.parsed = ReadNodeJson(package.body, package.json);
        if (package.parsed && package.type == node_msg::kInputReq) {
            ReadNodeJson(StringOf(package.json, "opData"), package.opData);
        }
        std::vector<std::pair<uint32_t, Json::Value>> answers;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (package.parsed) Answer(package, answers);
            packages.push_back(package);
            changed.notify_all();
        }
        for (auto& answer : answers) {
            session->SendBinary(FrameNodePackage(answer.first, WriteNodeJson(answer.second)));
        }
    }

    Json::Value CommonAnswer(const std::string& connId) const {
        Json::Value rsp(Json::objectValue);
        rsp["connId"] = connId;
        rsp["code"] = answerCode;
        rsp["msg"] = answerMsg;
        return rsp;
    }

    void AddInstance(const NodeInstance& base) {
        NodeInstance inst = base;
        auto scripted = scriptedStates.find(inst.instanceNo);
        if (scripted != scriptedStates.end()) {
            inst.state = scripted->second.state;
            inst.errCode = scripted->second.errCode;
            inst.isProxy = scripted->second.isProxy;
        }
        auto same = [&](const NodeInstance& i) { return i.instanceNo == inst.instanceNo; };
        instances.erase(std::remove_if(instances.begin(), instances.end(), same), instances.end());
        instances.push_back(inst);
    }

    // How a node answers one request (mutex held).
    void Answer(const NodePackage& req, std::vector<std::pair<uint32_t, Json::Value>>& out) {
        const Json::Value& in = req.json;
        if (!in.isObject() || !autoAnswer) return;
        std::string connId = connIds.count(req.session) ? connIds[req.session] : "";
        switch (req.type) {
            case node_msg::kRegisterReq: {
                Json::Value rsp(Json::objectValue);
                if (registerCode == 0) {
                    connId = "conn-" + std::to_string(req.session);
                    connIds[req.session] = connId;
                }
                rsp["connId"] = registerCode == 0 ? connId : "";
                rsp["code"] = registerCode;
                rsp["msg"] = registerMsg;
                rsp["ts"] = static_cast<Json::Int64>(NowMs());
                out.emplace_back(node_msg::kRegisterRsp, rsp);
                return;
            }
            case node_msg::kHeartBeatReq:
                if (echoHeartbeat) {
                    Json::Value echo(Json::objectValue);
                    echo["connId"] = connId;
                    echo["ts"] = in.isObject() && in["ts"].isInt64() ? in["ts"] : Json::Value(Json::Int64(0));
                    out.emplace_back(node_msg::kHeartBeatReq, echo);
                }
                return;
            default:
                break;
        }
        switch (req.type) {
            case node_msg::kStartControlReq: {
                instances.clear();
                mainInstance = StringOf(in, "mainInstanceNo");
                const Json::Value& conf = in["streamConf"];
                for (const Json::Value& item : in["instanceList"]) {
                    NodeInstance inst;
                    inst.instanceNo = StringOf(item, "instanceNo");
                    inst.uid = StringOf(item, "uid");
                    inst.sessionId = StringOf(item, "sessionId");
                    inst.width = conf.isObject() && conf["width"].isInt() ? conf["width"].asInt() : 0;
                    inst.height = conf.isObject() && conf["height"].isInt() ? conf["height"].asInt() : 0;
                    AddInstance(inst);
                }
                out.emplace_back(node_msg::kStartControlRsp, CommonAnswer(connId));
                return;
            }
            case node_msg::kAddInstanceReq: {
                NodeInstance sizeOf = instances.empty() ? NodeInstance{} : instances.front();
                for (const Json::Value& item : in["instanceList"]) {
                    NodeInstance inst;
                    inst.instanceNo = StringOf(item, "instanceNo");
                    inst.width = sizeOf.width;
                    inst.height = sizeOf.height;
                    AddInstance(inst);
                }
                out.emplace_back(node_msg::kAddInstanceRsp, CommonAnswer(connId));
                return;
            }
            case node_msg::kReduceInstanceReq: {
                for (const Json::Value& item : in["instanceList"]) {
                    std::string no = StringOf(item, "instanceNo");
                    auto same = [&](const NodeInstance& i) { return i.instanceNo == no; };
                    instances.erase(std::remove_if(instances.begin(), instances.end(), same), instances.end());
                }
                out.emplace_back(node_msg::kReduceInstanceRsp, CommonAnswer(connId));
                return;
            }
            case node_msg::kQueryInstanceStatusReq: {
                Json::Value rsp = CommonAnswer(connId);
                Json::Value list(Json::arrayValue);
                for (const NodeInstance& inst : instances) {
                    Json::Value item(Json::objectValue);
                    item["instanceNo"] = inst.instanceNo;
                    item["state"] = inst.state;
                    item["width"] = inst.width;
                    item["height"] = inst.height;
                    item["errCode"] = inst.errCode;
                    item["isProxy"] = inst.isProxy;
                    list.append(item);
                }
                rsp["instanceList"] = list;
                out.emplace_back(node_msg::kQueryInstanceStatusRsp, rsp);
                return;
            }
            case node_msg::kStopControlReq:
                instances.clear();
                mainInstance.clear();
                out.emplace_back(node_msg::kStopControlRsp, CommonAnswer(connId));
                return;
            case node_msg::kSwitchMainReq:
                mainInstance = StringOf(in, "newMainInstanceNo");
                out.emplace_back(node_msg::kSwitchMainRsp, CommonAnswer(connId));
                return;
            default:
                return;
        }
    }

    std::shared_ptr<WsSession> Newest() const {
        std::lock_guard<std::mutex> lock(mutex);
        return open.empty() ? nullptr : open.rbegin()->second;
    }

    std::vector<std::shared_ptr<WsSession>> OpenSessions() const {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::shared_ptr<WsSession>> list;
        for (auto& entry : open) list.push_back(entry.second);
        return list;
    }
};

NodePeer::NodePeer(bool tls) : m_impl(std::make_shared<Impl>()) {
    // The handlers hold the state weakly: they may run on the server thread
    // while the peer is being destroyed.
    std::weak_ptr<Impl> weak = m_impl;
    WsHandlers handlers;
    handlers.onUpgrade = [weak](const HttpRequest&) {
        auto impl = weak.lock();
        if (!impl) return 503;
        std::lock_guard<std::mutex> lock(impl->mutex);
        return impl->upgradeStatus;
    };
    handlers.onOpen = [weak](std::shared_ptr<WsSession> s) {
        if (auto impl = weak.lock()) impl->OnOpen(s);
    };
    handlers.onClose = [weak](std::shared_ptr<WsSession> s) {
        if (auto impl = weak.lock()) impl->OnClose(s);
    };
    handlers.onMessage = [weak](std::shared_ptr<WsSession> s, const std::string& data, bool binary) {
        if (auto impl = weak.lock()) impl->OnMessage(s, data, binary);
    };
    m_impl->server = std::make_unique<WsServer>(handlers, tls);
}

NodePeer::~NodePeer() {
    m_impl->server->Stop();
}

std::string NodePeer::Url() const { return m_impl->server->BaseUrl() + "/gcnode"; }
uint16_t NodePeer::Port() const { return m_impl->server->Port(); }

void NodePeer::SetUpgradeStatus(int status) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->upgradeStatus = status;
}

void NodePeer::SetRegisterAnswer(int code, const std::string& msg) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->registerCode = code;
    m_impl->registerMsg = msg;
}

void NodePeer::SetEchoHeartbeat(bool on) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->echoHeartbeat = on;
}

void NodePeer::SetAutoAnswer(bool on) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->autoAnswer = on;
}

void NodePeer::SetAnswerCode(int code, const std::string& msg) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->answerCode = code;
    m_impl->answerMsg = msg;
}

void NodePeer::SetInstanceState(const std::string& instanceNo, int state, int errCode, bool isProxy) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    NodeInstance& scripted = m_impl->scriptedStates[instanceNo];
    scripted.state = state;
    scripted.errCode = errCode;
    scripted.isProxy = isProxy;
    for (NodeInstance& inst : m_impl->instances) {
        if (inst.instanceNo == instanceNo) {
            inst.state = state;
            inst.errCode = errCode;
            inst.isProxy = isProxy;
        }
    }
}

bool NodePeer::Send(uint32_t type, const std::string& body) { return SendRaw(FrameNodePackage(type, body)); }

bool NodePeer::SendJson(uint32_t type, const Json::Value& body) { return Send(type, WriteNodeJson(body)); }

bool NodePeer::SendRaw(const std::string& frame) {
    auto session = m_impl->Newest();
    if (!session) return false;
    session->SendBinary(frame);
    return true;
}

bool NodePeer::SendText(const std::string& text) {
    auto session = m_impl->Newest();
    if (!session) return false;
    session->SendText(text);
    return true;
}

void NodePeer::CloseAll() {
    for (auto& session : m_impl->OpenSessions()) session->Close();
}

void NodePeer::DropAll() {
    for (auto& session : m_impl->OpenSessions()) session->Drop();
}

std::vector<NodePackage> NodePeer::Packages() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->packages;
}

std::vector<NodePackage> NodePeer::PackagesOf(uint32_t type) const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    std::vector<NodePackage> list;
    for (const NodePackage& p : m_impl->packages) {
        if (p.type == type) list.push_back(p);
    }
    return list;
}

size_t NodePeer::CountOf(uint32_t type) const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return static_cast<size_t>(std::count_if(m_impl->packages.begin(), m_impl->packages.end(),
                                             [type](const NodePackage& p) { return p.type == type; }));
}

size_t NodePeer::BadFrames() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->badFrames;
}

std::vector<NodeInstance> NodePeer::Instances() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->instances;
}

std::string NodePeer::MainInstance() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->mainInstance;
}

std::string NodePeer::ConnIdOf(int session) const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    auto it = m_impl->connIds.find(session);
    return it == m_impl->connIds.end() ? "" : it->second;
}

size_t NodePeer::AcceptedCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->accepted;
}

size_t NodePeer::OpenCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->open.size();
}

size_t NodePeer::ClosedCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->closed;
}

void NodePeer::ClearPackages() {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->packages.clear();
}

bool NodePeer::WaitUntil(const std::function<bool()>& condition, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::unique_lock<std::mutex> lock(m_impl->mutex);
        m_impl->changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

bool NodePeer::WaitForCount(uint32_t type, size_t count, int timeoutMs) const {
    return WaitUntil([&] { return CountOf(type) >= count; }, timeoutMs);
}

}  // namespace peers
