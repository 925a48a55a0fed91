#include "cloudsim/cloud_sim.h"

#include <exception>
#include <mutex>

#include "cloud_services.h"
#include "control_routes.h"
#include "device_list.h"
#include "http_helpers.h"
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
        for (const auto& instance : options.config.instances) {
            phones[instance.instanceNo] = std::make_shared<SyntheticPhone>(instance.instanceNo, instance.name);
            phones[instance.instanceNo]->SetUplinkRequest(options.uplink);
        }
        api = std::make_unique<PlatformApi>(options.config, services, sessions, phones, options.streamTls);
        control = std::make_unique<ControlRoutes>(services, sessions, phones);
        devices = std::make_unique<DeviceList>(options.config, *api);
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
    if (impl.https->Port() == 0 || impl.http->Port() == 0) {
        if (error) *error = "cannot listen on the platform ports (HTTPS " + std::to_string(impl.options.httpsPort) +
                            ", HTTP " + std::to_string(impl.options.httpPort) + ")";
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

void CloudSim::ClearFaults() { m_impl->services->faults.Clear(); }

std::vector<ReceivedMessage> CloudSim::Received(const std::string& instanceNo) const {
    return m_impl->services->records.Messages(instanceNo);
}

std::vector<ApiCall> CloudSim::ApiCalls() const { return m_impl->services->records.ApiCalls(); }

void CloudSim::ClearRecords() { m_impl->services->records.Clear(); }

bool CloudSim::Phone(const std::string& instanceNo, PhoneView& out) const {
    auto it = m_impl->phones.find(instanceNo);
    if (it == m_impl->phones.end()) return false;
    out = ViewOf(*it->second);
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

}  // namespace cloudsim
