#include "stream_endpoint.h"

#include <exception>
#include <vector>

#include "session_registry.h"
#include "stream_codes.h"

namespace cloudsim {

StreamEndpoint::StreamEndpoint(std::shared_ptr<CloudServices> services, std::shared_ptr<SyntheticPhone> phone,
                               std::weak_ptr<Session> session, bool advertiseTls)
    : m_services(std::move(services)), m_phone(std::move(phone)), m_session(std::move(session)),
      m_advertiseTls(advertiseTls) {}

StreamEndpoint::~StreamEndpoint() { Close(0, ""); }

std::shared_ptr<StreamEndpoint> StreamEndpoint::Open(std::shared_ptr<CloudServices> services,
                                                     std::shared_ptr<SyntheticPhone> phone,
                                                     std::weak_ptr<Session> session, bool advertiseTls,
                                                     std::string* error) {
    std::shared_ptr<StreamEndpoint> endpoint(
        new StreamEndpoint(std::move(services), std::move(phone), std::move(session), advertiseTls));
    endpoint->m_wss = std::make_unique<peers::WsServer>(endpoint->Handlers(), true);
    endpoint->m_ws = std::make_unique<peers::WsServer>(endpoint->Handlers(), false);
    endpoint->m_wssPort = endpoint->m_wss->Port();
    endpoint->m_wsPort = endpoint->m_ws->Port();
    if (endpoint->m_wssPort == 0 || endpoint->m_wsPort == 0) {
        if (error) *error = "cannot open the stream listeners";
        endpoint->Close(0, "");
        return nullptr;
    }
    return endpoint;
}

peers::WsHandlers StreamEndpoint::Handlers() {
    std::weak_ptr<StreamEndpoint> weak = weak_from_this();
    peers::WsHandlers handlers;
    handlers.onUpgrade = [weak](const peers::HttpRequest& request) {
        auto self = weak.lock();
        return self ? self->OnUpgrade(request) : 503;
    };
    handlers.onOpen = [weak](std::shared_ptr<peers::WsSession> socket) {
        if (auto self = weak.lock()) self->OnOpen(socket);
    };
    handlers.onMessage = [weak](std::shared_ptr<peers::WsSession> socket, const std::string& data, bool binary) {
        if (auto self = weak.lock()) self->OnMessage(socket, data, binary);
    };
    handlers.onClose = [weak](std::shared_ptr<peers::WsSession> socket) {
        if (auto self = weak.lock()) self->OnClose(socket);
    };
    return handlers;
}

int StreamEndpoint::OnUpgrade(const peers::HttpRequest& request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed) return 503;
    }
    if (m_services->faults.TakeUpgradeRefusal(m_phone->InstanceNo())) {
        m_services->log.Write(kLogInfo, "fault: refuse stream upgrade for %s", m_phone->InstanceNo().c_str());
        return 503;
    }
    return 101;
}

void StreamEndpoint::OnOpen(const std::shared_ptr<peers::WsSession>& socket) {
    std::weak_ptr<StreamEndpoint> weak = weak_from_this();
    auto connection = std::make_shared<StreamConnection>(
        socket, m_services, m_phone, m_session, m_services->faults.TakeStreamFaults(m_phone->InstanceNo()),
        [weak](StreamConnection* winner) {
            if (auto self = weak.lock()) self->OnAuthenticated(winner);
        });
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed) {
            socket->Close(1001);
            return;
        }
        m_connections[socket.get()] = connection;
    }
    m_services->log.Write(kLogDetail, "stream connection %d opened for %s", socket->Id(),
                          m_phone->InstanceNo().c_str());
    connection->OnOpen();
}

std::shared_ptr<StreamConnection> StreamEndpoint::Find(const peers::WsSession* socket) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_connections.find(socket);
    return it == m_connections.end() ? nullptr : it->second;
}

void StreamEndpoint::OnMessage(const std::shared_ptr<peers::WsSession>& socket, const std::string& data,
                               bool binary) {
    auto connection = Find(socket.get());
    if (!connection) return;
    try {
        connection->OnFrame(data, binary);
    } catch (const std::exception& e) {  // nothing from a client may end the server thread
        m_services->log.Write(kLogError, "connection %d of %s: %s", socket->Id(), m_phone->InstanceNo().c_str(),
                              e.what());
        connection->Fail(kStreamBadPackage, "package could not be handled");
    }
}

void StreamEndpoint::OnClose(const std::shared_ptr<peers::WsSession>& socket) {
    std::shared_ptr<StreamConnection> connection;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_connections.find(socket.get());
        if (it == m_connections.end()) return;
        connection = it->second;
        m_connections.erase(it);
    }
    m_services->log.Write(kLogDetail, "stream connection %d closed for %s", socket->Id(),
                          m_phone->InstanceNo().c_str());
    connection->Stop();
}

void StreamEndpoint::OnAuthenticated(StreamConnection* winner) {
    std::vector<std::shared_ptr<StreamConnection>> others;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_connections) {
            if (entry.second.get() != winner) others.push_back(entry.second);
        }
    }
    for (const auto& other : others) {
        if (!other->Authenticated()) continue;
        // The close that follows ends the connection on its own server's thread.
        other->Fail(kStreamSessionTaken, "the session was taken over by another connection");
    }
}

void StreamEndpoint::CountConnections(int& open, int& playing) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    open = static_cast<int>(m_connections.size());
    playing = 0;
    for (const auto& entry : m_connections) playing += entry.second->Playing() ? 1 : 0;
}

int StreamEndpoint::Cut(bool closeFrame) {
    std::vector<std::shared_ptr<StreamConnection>> connections;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_connections) connections.push_back(entry.second);
    }
    for (const auto& connection : connections) connection->Cut(closeFrame);
    return static_cast<int>(connections.size());
}

void StreamEndpoint::Close(int32_t code, const std::string& msg) {
    std::lock_guard<std::mutex> closing(m_closeMutex);
    std::map<const peers::WsSession*, std::shared_ptr<StreamConnection>> connections;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        connections.swap(m_connections);
    }
    for (const auto& entry : connections) {
        if (code != 0) entry.second->Fail(code, msg);
    }
    // Stopping a server flushes nothing, so the listeners go after the
    // connections had their say; handlers are not called once stopping.
    if (m_wss) m_wss->Stop();
    if (m_ws) m_ws->Stop();
    for (const auto& entry : connections) entry.second->Stop();
    m_wss.reset();
    m_ws.reset();
}

}  // namespace cloudsim
