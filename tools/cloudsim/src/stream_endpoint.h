#pragma once
// The stream servers of one session: a WSS and a WS listener on free
// loopback ports, and the connections they accepted. One connection at a
// time holds the session; a newer one that authenticates takes it over.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "cloud_services.h"
#include "peers/ws_server.h"
#include "stream_connection.h"
#include "synthetic_phone.h"

namespace cloudsim {

class Session;

class StreamEndpoint : public std::enable_shared_from_this<StreamEndpoint> {
public:
    // Opens both listeners; null (error filled) when one cannot listen.
    static std::shared_ptr<StreamEndpoint> Open(std::shared_ptr<CloudServices> services,
                                                std::shared_ptr<SyntheticPhone> phone,
                                                std::weak_ptr<Session> session, bool advertiseTls,
                                                std::string* error);
    ~StreamEndpoint();

    uint16_t WssPort() const { return m_wssPort; }
    uint16_t WsPort() const { return m_wsPort; }
    uint16_t AdvertisedPort() const { return m_advertiseTls ? m_wssPort : m_wsPort; }
    void CountConnections(int& open, int& playing) const;

    // Ends every connection (Cut); the listeners stay. How many there were.
    int Cut(bool closeFrame);

    // Sends error code to every connection, then closes the listeners and
    // stops every connection. Not from the endpoint's own server threads.
    void Close(int32_t code, const std::string& msg);

private:
    StreamEndpoint(std::shared_ptr<CloudServices> services, std::shared_ptr<SyntheticPhone> phone,
                   std::weak_ptr<Session> session, bool advertiseTls);
    peers::WsHandlers Handlers();
    int OnUpgrade(const peers::HttpRequest& request);
    void OnOpen(const std::shared_ptr<peers::WsSession>& socket);
    void OnMessage(const std::shared_ptr<peers::WsSession>& socket, const std::string& data, bool binary);
    void OnClose(const std::shared_ptr<peers::WsSession>& socket);
    void OnAuthenticated(StreamConnection* winner);
    std::shared_ptr<StreamConnection> Find(const peers::WsSession* socket) const;

    const std::shared_ptr<CloudServices> m_services;
    const std::shared_ptr<SyntheticPhone> m_phone;
    const std::weak_ptr<Session> m_session;
    const bool m_advertiseTls;
    std::mutex m_closeMutex;  // one Close at a time
    mutable std::mutex m_mutex;
    std::map<const peers::WsSession*, std::shared_ptr<StreamConnection>> m_connections;
    bool m_closed = false;
    std::unique_ptr<peers::WsServer> m_wss;
    std::unique_ptr<peers::WsServer> m_ws;
    uint16_t m_wssPort = 0;
    uint16_t m_wsPort = 0;
};

}  // namespace cloudsim
