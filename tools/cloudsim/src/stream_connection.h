#pragma once
// The cloud side of one stream link connection: authenticates it against its
// session, answers play and control messages, applies input to the phone,
// records what arrived, streams media while playing, reports what the phone
// says, and plays the connection's scripted faults.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "cloud_services.h"
#include "cloudsim/fault_script.h"
#include "delayed_sender.h"
#include "media_streamer.h"
#include "peers/ws_server.h"
#include "stream_input.h"
#include "synthetic_phone.h"

namespace cloudsim {

class Session;

class StreamConnection : public std::enable_shared_from_this<StreamConnection> {
public:
    // Told when this connection authenticated, so the endpoint can end the others.
    using AuthenticatedFn = std::function<void(StreamConnection* connection)>;

    StreamConnection(std::shared_ptr<peers::WsSession> socket, std::shared_ptr<CloudServices> services,
                     std::shared_ptr<SyntheticPhone> phone, std::weak_ptr<Session> session, FaultScript faults,
                     AuthenticatedFn onAuthenticated);
    ~StreamConnection();
    StreamConnection(const StreamConnection&) = delete;
    StreamConnection& operator=(const StreamConnection&) = delete;

    // Server thread: the socket opened, or one binary/text frame arrived.
    void OnOpen();
    void OnFrame(const std::string& data, bool binary);
    // Stops streaming and observing the phone; not from the streamer's thread.
    void Stop();
    // Sends error 1099 and closes the socket.
    void Fail(int32_t code, const std::string& msg);
    // Ends the connection without an error: a close frame, or the TCP connection cut.
    void Cut(bool closeFrame);

    bool Playing() const { return m_playing; }
    bool Authenticated() const { return m_authenticated; }
    const peers::WsSession* Socket() const { return m_socket.get(); }

private:
    bool Send(const std::string& package);
    bool SendLocked(const std::string& package);
    void FailLocked(int32_t code, const std::string& msg);
    void Record(const ClientMessage& message);
    void Handle(const ClientMessage& message);
    void HandleAuth(const Json::Value& f);
    void HandlePlay(const Json::Value& f);
    void HandleControl(const ClientMessage& message);
    void HandleInput(const ClientMessage& message);
    void OnPhoneReport(const PhoneReport& report);
    std::string ScreenPackage() const;

    const std::shared_ptr<peers::WsSession> m_socket;
    const std::shared_ptr<CloudServices> m_services;
    const std::shared_ptr<SyntheticPhone> m_phone;
    const std::weak_ptr<Session> m_session;
    const FaultScript m_faults;
    const AuthenticatedFn m_onAuthenticated;

    std::mutex m_sendMutex;  // counts and orders packages from every thread
    uint64_t m_sent = 0;
    bool m_closing = false;  // dropped, or closed after an error: nothing more goes out
    bool m_errorSent = false;

    std::atomic<bool> m_authenticated{false};
    std::atomic<bool> m_playing{false};
    std::string m_sessionId;  // server thread only: the id the connection authenticated with
    std::atomic<int> m_observerId{0};
    MediaStreamer m_streamer;
    DelayedSender m_delayedEchoes;  // delay echoes held back by the probeDelayMs fault
};

}  // namespace cloudsim
