#include "stream_connection.h"

#include "relay_port/wire_format.h"
#include "session_registry.h"
#include "stream_codes.h"
#include "stream_messages.h"

namespace cloudsim {
namespace {
namespace wire = relay_port::wire;

// A uint32 field as an int; values beyond int's range count as the largest int.
int IntOf(const Json::Value& value) {
    const Json::UInt64 number = value.isUInt64() ? value.asUInt64() : 0;
    return number > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(number);
}

constexpr const char* kHubVersion = "cloudsim-1.0";
constexpr const char* kCodecs = "h264,opus";
}  // namespace

StreamConnection::StreamConnection(std::shared_ptr<peers::WsSession> socket, std::shared_ptr<CloudServices> services,
                                   std::shared_ptr<SyntheticPhone> phone, std::weak_ptr<Session> session,
                                   FaultScript faults, AuthenticatedFn onAuthenticated)
    : m_socket(std::move(socket)), m_services(std::move(services)), m_phone(std::move(phone)),
      m_session(std::move(session)), m_faults(std::move(faults)), m_onAuthenticated(std::move(onAuthenticated)),
      m_streamer(m_phone, [this](const std::string& package) { return Send(package); }, m_services->log,
                 m_services->videoSent),
      m_delayedEchoes([this](const std::string& package) { Send(package); }) {}

StreamConnection::~StreamConnection() { Stop(); }

void StreamConnection::OnOpen() {
    std::weak_ptr<StreamConnection> weak = weak_from_this();
    m_observerId = m_phone->AddObserver([weak](const PhoneReport& report) {
        if (auto self = weak.lock()) self->OnPhoneReport(report);
    });
    if (m_faults.dropAfterPackages == 0) {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_closing = true;
        m_services->log.Write(kLogInfo, "fault: drop connection %d of %s at once", m_socket->Id(),
                              m_phone->InstanceNo().c_str());
        m_socket->Drop();
    }
}

void StreamConnection::Stop() {
    const int observer = m_observerId.exchange(0);
    if (observer != 0) m_phone->RemoveObserver(observer);
    m_playing = false;
    m_streamer.Stop();
    m_delayedEchoes.Stop();
}

bool StreamConnection::Send(const std::string& package) {
    std::lock_guard<std::mutex> lock(m_sendMutex);
    return SendLocked(package);
}

bool StreamConnection::SendLocked(const std::string& package) {
    if (m_closing) return false;
    m_socket->SendBinary(package);
    ++m_sent;
    if (m_faults.dropAfterPackages > 0 && m_sent >= static_cast<uint64_t>(m_faults.dropAfterPackages)) {
        m_closing = true;
        m_services->log.Write(kLogInfo, "fault: drop connection %d of %s after %llu packages", m_socket->Id(),
                              m_phone->InstanceNo().c_str(), static_cast<unsigned long long>(m_sent));
        m_socket->Drop();
        return false;
    }
    if (m_faults.errorCode != 0 && !m_errorSent && m_playing &&
        m_sent >= static_cast<uint64_t>(m_faults.errorAfterPackages)) {
        m_errorSent = true;
        m_services->log.Write(kLogInfo, "fault: error %d on connection %d of %s", m_faults.errorCode, m_socket->Id(),
                              m_phone->InstanceNo().c_str());
        if (m_faults.errorCode == kStreamNewSession) {
            if (auto session = m_session.lock()) session->DemandRenewal();
        }
        FailLocked(m_faults.errorCode, m_faults.errorMsg);
        return false;
    }
    return true;
}

void StreamConnection::Fail(int32_t code, const std::string& msg) {
    std::lock_guard<std::mutex> lock(m_sendMutex);
    FailLocked(code, msg);
}

void StreamConnection::Cut(bool closeFrame) {
    std::lock_guard<std::mutex> lock(m_sendMutex);
    if (m_closing) return;
    m_closing = true;
    m_playing = false;
    m_services->log.Write(kLogInfo, "fault: %s connection %d of %s", closeFrame ? "close" : "drop", m_socket->Id(),
                          m_phone->InstanceNo().c_str());
    if (closeFrame) m_socket->Close(1000);
    else m_socket->Drop();
}

void StreamConnection::FailLocked(int32_t code, const std::string& msg) {
    if (m_closing) return;
    m_socket->SendBinary(out::Error(code, msg));
    ++m_sent;
    m_closing = true;
    m_playing = false;
    m_socket->Close(1000);
}

void StreamConnection::OnFrame(const std::string& data, bool binary) {
    ClientMessage message;
    if (!binary) {
        message.kind = "invalid";
        message.fields["error"] = "text frame";
        message.fields["length"] = static_cast<Json::UInt64>(data.size());
        Record(message);
        return;
    }
    wire::PackageView view;
    const wire::HeaderCheck check = wire::ReadPackage(data.data(), data.size(), &view);
    if (check != wire::HeaderCheck::kOk) {
        message.kind = "invalid";
        message.type = check == wire::HeaderCheck::kTooShort ? 0 : view.type;
        message.fields["error"] = check == wire::HeaderCheck::kTooShort ? "shorter than a package header"
                                                                        : "header length differs from the frame";
        message.fields["length"] = static_cast<Json::UInt64>(data.size());
        Record(message);
        return;
    }
    const bool uplink = m_authenticated && view.type >= wire::kMicParam && view.type <= wire::kCameraData;
    if (uplink && m_services->uplinkArrived) m_services->uplinkArrived(m_phone->InstanceNo(), view.type, view.bodyLength);
    const std::string error = DecodeClientMessage(view.type, view.body, view.bodyLength, message);
    if (!error.empty()) {
        m_services->log.Write(kLogWarn, "connection %d of %s: %s", m_socket->Id(), m_phone->InstanceNo().c_str(),
                              error.c_str());
        message.kind = "invalid";
        message.fields["error"] = error;
        Record(message);
        return;
    }
    Record(message);
    Handle(message);
    if (uplink) m_phone->Uplink().OnPackage(view.type, view.body, view.bodyLength, message.fields);
}

void StreamConnection::Record(const ClientMessage& message) {
    ReceivedMessage record;
    record.timeUs = NowUs();
    record.timeMs = record.timeUs / 1000;
    record.instanceNo = m_phone->InstanceNo();
    record.sessionId = m_sessionId.empty() ? message.fields.get("sessionId", "").asString() : m_sessionId;
    record.type = message.type;
    record.kind = message.kind;
    record.fields = message.fields;
    m_services->records.AddMessage(std::move(record));
}

void StreamConnection::Handle(const ClientMessage& message) {
    if (message.type == wire::kAuthReq) return HandleAuth(message.fields);
    if (!m_authenticated) {
        if (message.type == wire::kPlayReq) Fail(kStreamNotAuthenticated, "authenticate before play");
        return;  // input before authentication is recorded and ignored
    }
    if (message.type == wire::kPlayReq) return HandlePlay(message.fields);
    if (message.type >= 3000 && message.type < 4000) return HandleInput(message);
    HandleControl(message);
}

void StreamConnection::HandleAuth(const Json::Value& f) {
    const std::string sessionId = f["sessionId"].asString();
    const std::string instanceNo = f["instanceNo"].asString();
    std::shared_ptr<Session> session = m_session.lock();
    int32_t code = 0;
    std::string msg = "success";
    if (!session || session->Ended() || session->Expired(NowMs())) {
        code = kStreamSessionEnded;
        msg = "the session has ended";
    } else if (instanceNo != session->InstanceNo()) {
        code = kStreamWrongInstance;
        msg = "instance " + instanceNo + " does not belong to the session";
    } else if (session->IsFormerId(sessionId)) {
        code = kStreamNewSession;
        msg = "session id was renewed; connect with the new one";
    } else if (!session->IsCurrentId(sessionId)) {
        code = kStreamUnknownSession;
        msg = "unknown session id";
    } else if (session->RenewalDue(NowMs())) {
        code = kStreamNewSession;
        msg = "session must be renewed";
    }
    m_services->log.Write(kLogInfo, "auth of connection %d for %s session %s: %d %s", m_socket->Id(),
                          instanceNo.c_str(), sessionId.c_str(), code, msg.c_str());
    if (code != 0) {
        Send(out::AuthResult(code, msg, kHubVersion, kCodecs));
        Fail(code, msg);
        return;
    }
    m_sessionId = sessionId;
    m_authenticated = true;
    if (m_onAuthenticated) m_onAuthenticated(this);
    Send(out::AuthResult(0, msg, kHubVersion, kCodecs));
}

std::string StreamConnection::ScreenPackage() const {
    const PhoneState state = m_phone->Snapshot();
    const StreamSettings settings = m_streamer.Settings();
    return out::ScreenOut(state.landscape ? 1 : 0, static_cast<uint32_t>(settings.fps),
                          static_cast<uint32_t>(settings.bitrateKbps), static_cast<uint32_t>(state.width),
                          static_cast<uint32_t>(state.height));
}

void StreamConnection::HandlePlay(const Json::Value& f) {
    const StreamSettings settings = ClampSettings(IntOf(f["fps"]), IntOf(f["videoBitrate"]));
    const PhoneState state = m_phone->Snapshot();
    out::PlayValues values;
    values.bitrate = static_cast<uint32_t>(settings.bitrateKbps);
    values.fps = static_cast<uint32_t>(settings.fps);
    values.width = static_cast<uint32_t>(state.width);
    values.height = static_cast<uint32_t>(state.height);
    m_streamer.Update(settings);
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_playing = true;
        if (!SendLocked(out::PlayResult(0, "success", values))) return;
        if (!SendLocked(ScreenPackage())) return;
        if (m_faults.malformedPackages) {
            m_services->log.Write(kLogInfo, "fault: malformed packages to connection %d of %s", m_socket->Id(),
                                  m_phone->InstanceNo().c_str());
            for (const auto& package : out::MalformedSet()) {
                if (!SendLocked(package)) return;
            }
        }
    }
    m_streamer.Start(settings);
}

void StreamConnection::HandleControl(const ClientMessage& message) {
    const Json::Value& f = message.fields;
    switch (message.type) {
        case wire::kDelay:
            if (m_faults.noDelayEcho) break;
            if (m_faults.probeDelayMs > 0) {
                // The probe halves the round trip: twice the delay there and back.
                m_delayedEchoes.SendLater(out::DelayEcho(f["time"].asInt64(), m_sessionId),
                                          std::chrono::milliseconds(2 * m_faults.probeDelayMs));
            } else {
                Send(out::DelayEcho(f["time"].asInt64(), m_sessionId));
            }
            break;
        case wire::kSetVideoParamReq: {
            const StreamSettings settings = ClampSettings(IntOf(f["fps"]), IntOf(f["bitrate"]));
            m_streamer.Update(settings);
            const PhoneState state = m_phone->Snapshot();
            Send(out::VideoParamResult(0, "success", settings.fps, settings.bitrateKbps, state.width, state.height));
            Send(ScreenPackage());
            break;
        }
        case wire::kPlayControlReq:
            // "first" 0 streams, any other value pauses; "second" 0 leaves the sound out.
            m_streamer.SetPaused(f["first"].asUInt() != 0);
            m_streamer.SetAudio(f["second"].asUInt() != 0);
            Send(out::CodeMsgResult(wire::kPlayControlRes, 0, "success"));
            break;
        case wire::kSetRotationReq:
            Send(out::SetRotationResult(0));
            m_phone->SetRotation(static_cast<int>(f["a"].asUInt() & 3));
            break;
        case wire::kInputModeReq:
            Send(out::Cursor(m_phone->Snapshot().focused ? 1 : 0));
            break;
        case wire::kMsgTransReq:
            Send(out::MsgTransResponse(0, f["service"].asString(), f["msg"].asString()));
            break;
        case wire::kOfferReq:
            Send(out::OfferResult(kStreamNoWebRtc, "WebRTC is not offered"));
            break;
        case wire::kAnswerReq:
            Send(out::CodeMsgResult(wire::kAnswerRes, kStreamNoWebRtc, "WebRTC is not offered"));
            break;
        case wire::kCandidate:
            Send(out::CodeMsgResult(wire::kCandidateRes, kStreamNoWebRtc, "WebRTC is not offered"));
            break;
        default:
            break;  // delay reports, message-transfer answers: recorded only
    }
}

void StreamConnection::HandleInput(const ClientMessage& message) {
    const Json::Value& f = message.fields;
    switch (message.type) {
        case wire::kTouch: {
            std::vector<std::pair<int64_t, int64_t>> points;
            for (const auto& point : f["points"]) points.emplace_back(point[0].asInt64(), point[1].asInt64());
            m_phone->Touch(IntOf(f["action"]), points);
            break;
        }
        case wire::kKey:
            m_phone->Key(IntOf(f["key"]), f["down"].asBool());
            break;
        case wire::kInputString:
            m_phone->InputText(f["text"].asString());
            break;
        case wire::kCopyString:
            m_phone->SetClipboard(f["text"].asString());
            break;
        default:
            break;  // sensors and location are recorded only; the uplink goes to the phone after this
    }
    if (m_services->inputApplied) m_services->inputApplied(m_phone->InstanceNo(), message.kind, false);
}

void StreamConnection::OnPhoneReport(const PhoneReport& report) {
    if (!m_authenticated) return;
    switch (report.kind) {
        case PhoneReport::kScreen:
            Send(ScreenPackage());
            break;
        case PhoneReport::kClipboard:
            Send(out::CopyOut(report.text));
            break;
        case PhoneReport::kCursor:
            Send(out::Cursor(static_cast<uint32_t>(report.value)));
            break;
        case PhoneReport::kCamera:
            Send(out::CameraOut(report.front ? 1 : 0, static_cast<uint32_t>(report.value),
                                static_cast<uint16_t>(report.width), static_cast<uint16_t>(report.height)));
            break;
        case PhoneReport::kMicrophone:
            Send(out::MicOut(0, static_cast<uint32_t>(report.value), static_cast<uint32_t>(report.samples)));
            break;
    }
}

}  // namespace cloudsim
