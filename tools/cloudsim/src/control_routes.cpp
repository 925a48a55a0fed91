#include "control_routes.h"

#include <cstdlib>

#include "canvas.h"
#include "http_helpers.h"
#include "jpeg_encoder.h"
#include "phone_renderer.h"

namespace cloudsim {
namespace {

constexpr const char* kScreenshotPrefix = "/screenshot/";
constexpr const char* kControlPrefix = "/cloudsim/";

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// A decimal query value, or fallback when absent or not a number.
int64_t QueryNumber(const std::map<std::string, std::string>& query, const std::string& key, int64_t fallback) {
    auto it = query.find(key);
    if (it == query.end() || it->second.empty() || it->second.size() > 18) return fallback;
    char* end = nullptr;
    const long long value = std::strtoll(it->second.c_str(), &end, 10);
    return end != nullptr && *end == '\0' ? value : fallback;
}

}  // namespace

Json::Value ToJson(const SessionInfo& info) {
    Json::Value json(Json::objectValue);
    json["sessionId"] = info.sessionId;
    json["formerIds"] = Json::Value(Json::arrayValue);
    for (const auto& id : info.formerIds) json["formerIds"].append(id);
    json["instanceNo"] = info.instanceNo;
    json["userId"] = info.userId;
    json["groupControl"] = info.groupControl;
    json["ended"] = info.ended;
    json["wssPort"] = info.wssPort;
    json["wsPort"] = info.wsPort;
    json["advertisedPort"] = info.advertisedPort;
    json["signExpireMs"] = static_cast<Json::Int64>(info.signExpireMs);
    json["expireMs"] = static_cast<Json::Int64>(info.expireMs);
    json["connections"] = info.connections;
    json["playing"] = info.playing;
    return json;
}

PhoneView ViewOf(const SyntheticPhone& phone) {
    const PhoneState state = phone.Snapshot();
    PhoneView view;
    view.landscape = state.landscape;
    view.width = state.width;
    view.height = state.height;
    view.text = state.text;
    view.focused = state.focused;
    view.clipboard = state.clipboard;
    view.volume = state.volume;
    if (!state.marks.empty()) {
        view.lastTouchX = state.marks.back().x;
        view.lastTouchY = state.marks.back().y;
    }
    view.cameraOn = state.cameraOn;
    view.micOn = state.micOn;
    return view;
}

Json::Value ToJson(const PhoneView& view) {
    Json::Value json(Json::objectValue);
    json["landscape"] = view.landscape;
    json["width"] = view.width;
    json["height"] = view.height;
    json["text"] = view.text;
    json["focused"] = view.focused;
    json["clipboard"] = view.clipboard;
    json["volume"] = view.volume;
    json["lastTouchX"] = view.lastTouchX;
    json["lastTouchY"] = view.lastTouchY;
    json["cameraOn"] = view.cameraOn;
    json["micOn"] = view.micOn;
    return json;
}

ControlRoutes::ControlRoutes(std::shared_ptr<CloudServices> services, std::shared_ptr<SessionRegistry> sessions,
                             PhoneMap phones, NodeHooks nodes)
    : m_services(std::move(services)), m_sessions(std::move(sessions)), m_phones(std::move(phones)),
      m_nodes(std::move(nodes)) {}

bool ControlRoutes::Matches(const std::string& path) {
    return StartsWith(path, kScreenshotPrefix) || StartsWith(path, kControlPrefix);
}

peers::HttpReply ControlRoutes::Handle(const peers::HttpRequest& request) const {
    const std::string path = TargetPath(request.target);
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";
    if (StartsWith(path, kScreenshotPrefix) && get) return Screenshot(path, request.target);
    if (path == "/cloudsim/record" && get) return Record(request.target);
    if (path == "/cloudsim/api-calls" && get) return ApiCalls(request.target);
    if (path == "/cloudsim/sessions" && get) return Sessions();
    if (path == "/cloudsim/phone" && get) return Phone(request.target);
    if (path == "/cloudsim/faults" && post) return Faults(request.body);
    if (StartsWith(path, "/cloudsim/node")) return NodeRoute(path, request);
    if (path == "/cloudsim/clear-faults" && post) {
        m_services->faults.Clear();
        return JsonReply(Json::Value(Json::objectValue));
    }
    if (path == "/cloudsim/clear-records" && post) {
        m_services->records.Clear();
        return JsonReply(Json::Value(Json::objectValue));
    }
    return TextReply(404, "no such control endpoint: " + request.method + " " + path);
}

peers::HttpReply ControlRoutes::Screenshot(const std::string& path, const std::string& target) const {
    std::string name = path.substr(std::string(kScreenshotPrefix).size());
    const std::string suffix = ".jpg";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return TextReply(404, "screenshots are <instanceNo>.jpg");
    }
    name.resize(name.size() - suffix.size());
    auto it = m_phones.find(name);
    if (it == m_phones.end()) return TextReply(404, "unknown instance \"" + name + "\"");
    const auto query = TargetQuery(target);
    JpegSettings settings;
    const int64_t quality = QueryNumber(query, "quality", 0);
    const int64_t scale = QueryNumber(query, "scale", 0);
    settings.quality = quality >= 1 && quality <= 100 ? static_cast<int>(quality) : 80;
    settings.scalePercent = scale >= 1 && scale <= 100 ? static_cast<int>(scale) : 100;
    int64_t rotate = QueryNumber(query, "rotate", 0);
    if (rotate >= 90) rotate /= 90;  // degrees are accepted as well as quarter turns
    settings.quarterTurns = static_cast<int>(((rotate % 4) + 4) % 4);

    const PhoneState state = it->second->Snapshot();
    Canvas canvas(state.width, state.height);
    RenderPhone(state, it->second->Name(), ClockText(), canvas);
    std::vector<uint8_t> jpeg;
    std::string error;
    if (!EncodeJpeg(canvas, settings, jpeg, &error)) return TextReply(500, error);
    peers::HttpReply reply;
    reply.headers = {{"Content-Type", "image/jpeg"}, {"Cache-Control", "no-cache"}};
    reply.body.assign(jpeg.begin(), jpeg.end());
    return reply;
}

peers::HttpReply ControlRoutes::Record(const std::string& target) const {
    const auto query = TargetQuery(target);
    auto it = query.find("instanceNo");
    if (it == query.end()) return TextReply(400, "instanceNo is required");
    const auto since = static_cast<uint64_t>(QueryNumber(query, "since", 0));
    Json::Value json(Json::objectValue);
    json["instanceNo"] = it->second;
    json["messages"] = Json::Value(Json::arrayValue);
    for (const auto& message : m_services->records.Messages(it->second)) {
        if (message.seq > since) json["messages"].append(ToJson(message));
    }
    return JsonReply(json);
}

peers::HttpReply ControlRoutes::ApiCalls(const std::string& target) const {
    const auto since = static_cast<uint64_t>(QueryNumber(TargetQuery(target), "since", 0));
    Json::Value json(Json::objectValue);
    json["calls"] = Json::Value(Json::arrayValue);
    for (const auto& call : m_services->records.ApiCalls()) {
        if (call.seq > since) json["calls"].append(ToJson(call));
    }
    return JsonReply(json);
}

peers::HttpReply ControlRoutes::Sessions() const {
    Json::Value json(Json::objectValue);
    json["sessions"] = Json::Value(Json::arrayValue);
    for (const auto& session : m_sessions->All()) json["sessions"].append(ToJson(session->Info()));
    return JsonReply(json);
}

peers::HttpReply ControlRoutes::Phone(const std::string& target) const {
    const auto query = TargetQuery(target);
    auto name = query.find("instanceNo");
    if (name == query.end()) return TextReply(400, "instanceNo is required");
    auto it = m_phones.find(name->second);
    if (it == m_phones.end()) return TextReply(404, "unknown instance \"" + name->second + "\"");
    return JsonReply(ToJson(ViewOf(*it->second)));
}

peers::HttpReply ControlRoutes::Faults(const std::string& body) const {
    Json::Value json;
    std::string error;
    if (!ParseJsonBody(body, json, &error)) return TextReply(400, error);
    FaultScript script;
    error = FaultScriptFromJson(json, script);
    if (!error.empty()) return TextReply(400, error);
    if (json.isMember("instanceNo") && !json["instanceNo"].isString()) return TextReply(400, "instanceNo is a string");
    const std::string instanceNo = json.get("instanceNo", "*").asString();
    if (instanceNo != "*" && m_phones.find(instanceNo) == m_phones.end()) {
        return TextReply(404, "unknown instance \"" + instanceNo + "\"");
    }
    m_services->faults.Set(instanceNo, script);
    m_services->log.Write(kLogInfo, "faults scripted for %s", instanceNo.c_str());
    return JsonReply(FaultScriptToJson(script));
}

peers::HttpReply ControlRoutes::NodeRoute(const std::string& path, const peers::HttpRequest& request) const {
    if (path == "/cloudsim/nodes" && request.method == "GET") {
        Json::Value json(Json::objectValue);
        json["nodes"] = Json::Value(Json::arrayValue);
        for (const auto& view : m_nodes.views()) json["nodes"].append(ToJson(view));
        return JsonReply(json);
    }
    if (path == "/cloudsim/node-record" && request.method == "GET") {
        const auto query = TargetQuery(request.target);
        auto it = query.find("nodeNo");
        if (it == query.end()) return TextReply(400, "nodeNo is required");
        const auto since = static_cast<uint64_t>(QueryNumber(query, "since", 0));
        Json::Value json(Json::objectValue);
        json["nodeNo"] = it->second;
        json["messages"] = Json::Value(Json::arrayValue);
        for (const auto& message : m_nodes.messages(it->second)) {
            if (message.seq > since) json["messages"].append(ToJson(message));
        }
        return JsonReply(json);
    }
    if (request.method != "POST") return TextReply(404, "no such control endpoint: " + request.method + " " + path);
    Json::Value json;
    std::string error;
    if (!ParseJsonBody(request.body, json, &error)) return TextReply(400, error);
    if (!json.isObject() || !json["nodeNo"].isString()) return TextReply(400, "nodeNo is a string");
    const std::string nodeNo = json["nodeNo"].asString();
    if (path == "/cloudsim/node-restart") {
        if (m_nodes.restart(nodeNo) != 0) return TextReply(404, "cannot restart node \"" + nodeNo + "\"");
        return JsonReply(Json::Value(Json::objectValue));
    }
    if (path == "/cloudsim/node-faults") {
        NodeFaultScript script;
        error = NodeFaultScriptFromJson(json, script);
        if (!error.empty()) return TextReply(400, error);
        m_nodes.setFaults(nodeNo, script);
        return JsonReply(Json::Value(Json::objectValue));
    }
    return TextReply(404, "no such control endpoint: POST " + path);
}

}  // namespace cloudsim
