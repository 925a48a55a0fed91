#include "cloudsim/cloud_sim.h"

#include <exception>
#include <map>
#include <mutex>

#include "cloud_services.h"
#include "control_routes.h"
#include "device_list.h"
#include "http_helpers.h"
#include "node_server.h"
#include "platform_api.h"
#include "session_registry.h"
#include "static_files.h"
#include "stream_codes.h"
#include "stream_endpoint.h"

namespace cloudsim {

struct CloudSim::Impl {
    explicit Impl(CloudOptions opts)
        : options(std::move(opts)),
          services(std::make_shared<CloudServices>(SimLog(options.logLevel, options.logSink))),
          sessions(std::make_shared<SessionRegistry>()),
          files(options.webRoot) {
        services->videoSent = options.onVideoSent;
        services->uplinkArrived = options.onUplinkPackage;
        services->inputApplied = options.onInputApplied;
        for (const auto& instance : options.config.instances) {
            phones[instance.instanceNo] = std::make_shared<SyntheticPhone>(instance.instanceNo, instance.name,
                                                                        instance.screenWidth, instance.screenHeight);
            phones[instance.instanceNo]->SetUplinkRequest(options.uplink);
        }
        api = std::make_unique<PlatformApi>(options.config, services, sessions, phones, options.streamTls);
        NodeHooks hooks;
        hooks.views = [this] {
            std::vector<NodeView> views;
            for (const auto& node : nodes) views.push_back(node.second->View());
            return views;
        };
        hooks.messages = [this](const std::string& nodeNo) {
            const NodeServer* node = FindNode(nodeNo);
            return node == nullptr ? std::vector<NodeMessage>() : node->Messages();
        };
        hooks.restart = [this](const std::string& nodeNo) {
            NodeServer* node = FindNode(nodeNo);
            if (node == nullptr) return -1;
            node->Stop();
            return node->Listen(node->Port(), nullptr);
        };
        hooks.setFaults = [this](const std::string& nodeNo, const NodeFaultScript& script) {
            for (auto& node : nodes) {
                if (nodeNo == "*" || node.first == nodeNo) node.second->SetFaults(script);
            }
        };
        control = std::make_unique<ControlRoutes>(services, sessions, phones, hooks);
        devices = std::make_unique<DeviceList>(options.config, *api);
        for (const auto& node : options.config.groupControlNodes) {
            if (node.external) continue;
            nodes[node.nodeNo] = std::make_unique<NodeServer>(node.nodeNo, services, sessions, phones);
        }
    }

    NodeServer* FindNode(const std::string& nodeNo) const {
        auto it = nodes.find(nodeNo);
        return it == nodes.end() ? nullptr : it->second.get();
    }

    // Starts the cloud's nodes and names them, with the ports they got, in
    // group-control answers. "" or what failed.
    std::string StartNodes() {
        std::vector<GroupControlNode> named;
        for (GroupControlNode node : options.config.groupControlNodes) {
            if (!node.external) {
                NodeServer& server = *nodes.at(node.nodeNo);
                std::string error;
                if (server.Listen(static_cast<uint16_t>(node.port), &error) != 0) return error;
                node.port = server.Port();
            }
            named.push_back(node);
        }
        api->SetGroupControlNodes(named);
        return "";
    }

    std::string ListenerUrl(bool tls) {
        std::lock_guard<std::mutex> lock(urlMutex);
        return tls ? httpsUrl : httpUrl;
    }

    peers::HttpReply Route(const peers::HttpRequest& request, bool tls) {
        try {
            const std::string listenerUrl = ListenerUrl(tls);
            const std::string path = TargetPath(request.target);
            if (PlatformApi::IsApiPath(path)) return api->Handle(request, listenerUrl);
            if (ControlRoutes::Matches(path)) return control->Handle(request);
            const bool read = request.method == "GET" || request.method == "HEAD";
            // The page's device list comes with the page: only where a page is served.
            if (read && files.Enabled() && DeviceList::Matches(path)) return devices->Serve();
            if (read) return files.Serve(path);
            return TextReply(405, "method not allowed");
        } catch (const std::exception& e) {
            services->log.Write(kLogError, "request %s failed: %s", request.target.c_str(), e.what());
            return TextReply(500, "internal error");
        }
    }

    void CloseSessions() {
        for (const auto& session : sessions->All()) {
            session->End();
            if (auto endpoint = session->Endpoint()) endpoint->Close(kStreamSessionEnded, "the cloud is shutting down");
            session->SetEndpoint(nullptr);
        }
        sessions->Clear();
    }

    CloudOptions options;
    std::shared_ptr<CloudServices> services;
    std::shared_ptr<SessionRegistry> sessions;
    PhoneMap phones;
    StaticFiles files;
    std::unique_ptr<PlatformApi> api;
    std::unique_ptr<ControlRoutes> control;
    std::unique_ptr<DeviceList> devices;
    std::map<std::string, std::unique_ptr<NodeServer>> nodes;
    std::unique_ptr<peers::HttpServer> https;
    std::unique_ptr<peers::HttpServer> http;
    std::mutex urlMutex;  // the URLs are set once the listeners listen
    std::string httpsUrl;
    std::string httpUrl;
};

CloudSim::CloudSim(CloudOptions options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

CloudSim::~CloudSim() { Stop(); }

int CloudSim::Start(std::string* error) {
    Impl& impl = *m_impl;
    if (impl.https || impl.http) {
        if (error) *error = "already started";
        return -1;
    }
    Impl* self = m_impl.get();
    // The listener URL is known only once the server listens; handlers read it then.
    impl.https = std::make_unique<peers::HttpServer>(
        [self](const peers::HttpRequest& request) { return self->Route(request, true); }, true,
        impl.options.httpsPort);
    impl.http = std::make_unique<peers::HttpServer>(
        [self](const peers::HttpRequest& request) { return self->Route(request, false); }, false,
        impl.options.httpPort);
    // The cloud keeps its own bounded record of calls; the servers keep none.
    impl.https->KeepRequests(false);
    impl.http->KeepRequests(false);
    if (impl.https->Port() == 0 || impl.http->Port() == 0) {
        if (error) *error = "cannot listen on the platform ports (HTTPS " + std::to_string(impl.options.httpsPort) +
                            ", HTTP " + std::to_string(impl.options.httpPort) + ")";
        Stop();
        return -1;
    }
    const std::string nodeError = impl.StartNodes();
    if (!nodeError.empty()) {
        if (error) *error = nodeError;
        Stop();
        return -1;
    }
    {
        std::lock_guard<std::mutex> lock(impl.urlMutex);
        impl.httpsUrl = impl.https->BaseUrl();
        impl.httpUrl = impl.http->BaseUrl();
    }
    impl.services->log.Write(kLogInfo, "platform API on %s and %s", impl.httpsUrl.c_str(), impl.httpUrl.c_str());
    return 0;
}

void CloudSim::Stop() {
    Impl& impl = *m_impl;
    if (impl.https) impl.https->Stop();
    if (impl.http) impl.http->Stop();
    for (auto& node : impl.nodes) node.second->Stop();
    impl.CloseSessions();
    impl.https.reset();
    impl.http.reset();
}

uint16_t CloudSim::HttpsPort() const { return m_impl->https ? m_impl->https->Port() : 0; }
uint16_t CloudSim::HttpPort() const { return m_impl->http ? m_impl->http->Port() : 0; }
std::string CloudSim::HttpsUrl() const { return m_impl->ListenerUrl(true); }
std::string CloudSim::HttpUrl() const { return m_impl->ListenerUrl(false); }
const CloudConfig& CloudSim::Config() const { return m_impl->options.config; }

std::vector<SessionInfo> CloudSim::Sessions() const {
    std::vector<SessionInfo> infos;
    for (const auto& session : m_impl->sessions->All()) infos.push_back(session->Info());
    return infos;
}

bool CloudSim::LatestSession(const std::string& instanceNo, SessionInfo& out) const {
    auto session = m_impl->sessions->Latest(instanceNo);
    if (!session) return false;
    out = session->Info();
    return true;
}

void CloudSim::SetFaults(const std::string& instanceNo, const FaultScript& script) {
    m_impl->services->faults.Set(instanceNo, script);
}

void CloudSim::ClearFaults() {
    m_impl->services->faults.Clear();
    for (auto& node : m_impl->nodes) node.second->SetFaults(NodeFaultScript());
}

int CloudSim::CutStreams(const std::string& instanceNo, CutKind kind) {
    int cut = 0;
    for (const auto& session : m_impl->sessions->All()) {
        if (session->InstanceNo() != instanceNo) continue;
        if (auto endpoint = session->Endpoint()) cut += endpoint->Cut(kind == CutKind::kCloseFrame);
    }
    return cut;
}

std::vector<ReceivedMessage> CloudSim::Received(const std::string& instanceNo) const {
    return m_impl->services->records.Messages(instanceNo);
}

std::vector<ApiCall> CloudSim::ApiCalls() const { return m_impl->services->records.ApiCalls(); }

void CloudSim::ClearRecords() {
    m_impl->services->records.Clear();
    for (auto& node : m_impl->nodes) node.second->ClearMessages();
}

bool CloudSim::Phone(const std::string& instanceNo, PhoneView& out) const {
    auto it = m_impl->phones.find(instanceNo);
    if (it == m_impl->phones.end()) return false;
    out = ViewOf(*it->second);
    return true;
}

bool CloudSim::RotatePhone(const std::string& instanceNo, int quarterTurns) {
    auto it = m_impl->phones.find(instanceNo);
    if (it == m_impl->phones.end()) return false;
    it->second->SetRotation(quarterTurns & 3);
    return true;
}

bool CloudSim::Uplink(const std::string& instanceNo, UplinkView& out) const {
    auto it = m_impl->phones.find(instanceNo);
    if (it == m_impl->phones.end()) return false;
    out = it->second->Uplink().View();
    return true;
}

void CloudSim::SetGroupControlNodes(const std::vector<GroupControlNode>& nodes) {
    m_impl->api->SetGroupControlNodes(nodes);
}

std::vector<NodeView> CloudSim::Nodes() const {
    std::vector<NodeView> views;
    for (const auto& node : m_impl->nodes) views.push_back(node.second->View());
    return views;
}

bool CloudSim::Node(const std::string& nodeNo, NodeView& out) const {
    const NodeServer* node = m_impl->FindNode(nodeNo);
    if (node == nullptr) return false;
    out = node->View();
    return true;
}

uint16_t CloudSim::NodePort(const std::string& nodeNo) const {
    const NodeServer* node = m_impl->FindNode(nodeNo);
    return node == nullptr ? 0 : node->Port();
}

int CloudSim::StopNode(const std::string& nodeNo) {
    NodeServer* node = m_impl->FindNode(nodeNo);
    if (node == nullptr) return -1;
    node->Stop();
    return 0;
}

int CloudSim::StartNode(const std::string& nodeNo) {
    NodeServer* node = m_impl->FindNode(nodeNo);
    if (node == nullptr) return -1;
    std::string error;
    if (node->Listen(node->Port(), &error) != 0) {
        m_impl->services->log.Write(kLogError, "%s", error.c_str());
        return -1;
    }
    return 0;
}

int CloudSim::RestartNode(const std::string& nodeNo) {
    if (StopNode(nodeNo) != 0) return -1;
    return StartNode(nodeNo);
}

int CloudSim::CutNodeConnections(const std::string& nodeNo, CutKind kind) {
    NodeServer* node = m_impl->FindNode(nodeNo);
    return node == nullptr ? 0 : node->Cut(kind == CutKind::kCloseFrame);
}

std::vector<NodeMessage> CloudSim::NodeMessages(const std::string& nodeNo) const {
    const NodeServer* node = m_impl->FindNode(nodeNo);
    return node == nullptr ? std::vector<NodeMessage>() : node->Messages();
}

void CloudSim::SetNodeFaults(const std::string& nodeNo, const NodeFaultScript& script) {
    for (auto& node : m_impl->nodes) {
        if (nodeNo == "*" || node.first == nodeNo) node.second->SetFaults(script);
    }
}

int CloudSim::SendNodeError(const std::string& nodeNo, int errType, int errCode,
                            const std::vector<std::pair<std::string, int>>& instances) {
    NodeServer* node = m_impl->FindNode(nodeNo);
    return node == nullptr ? 0 : node->SendError(errType, errCode, instances);
}

}  // namespace cloudsim
