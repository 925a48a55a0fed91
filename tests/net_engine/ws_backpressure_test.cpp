// A WebSocket peer that stops reading: frames that libcurl can take only in
// part must still reach the peer whole and in order once it reads again.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <sys/socket.h>
#include <unistd.h>

#include "http_recorder.h"

using namespace net_engine;
using namespace engine_test;

namespace {

// Minimal WebSocket server on a raw socket with a tiny receive buffer, so
// that the client's socket fills up while the server does not read.
class StallingPeer {
public:
    StallingPeer() {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int small = 4096;
        ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listen, 1);
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~StallingPeer() {
        m_release = true;
        ::shutdown(m_listen, SHUT_RDWR);
        if (m_conn >= 0) ::shutdown(m_conn, SHUT_RDWR);
        m_thread.join();
        ::close(m_listen);
        if (m_conn >= 0) ::close(m_conn);
    }
    std::string Url() const { return "ws://127.0.0.1:" + std::to_string(m_port) + "/stall"; }
    void Release() { m_release = true; }
    std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

private:
    void Serve() {
        m_conn = ::accept(m_listen, nullptr, nullptr);
        if (m_conn < 0) return;
        std::string request;
        char buf[65536];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t n = ::recv(m_conn, buf, sizeof buf, 0);
            if (n <= 0) return;
            request.append(buf, static_cast<size_t>(n));
        }
        std::string key;
        size_t at = request.find("Sec-WebSocket-Key: ");
        if (at != std::string::npos) key = request.substr(at + 19, request.find("\r\n", at) - at - 19);
        std::string reply = "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                            "Sec-WebSocket-Accept: " + AcceptKey(key) + "\r\n\r\n";
        ::send(m_conn, reply.data(), reply.size(), MSG_NOSIGNAL);
        std::string stream = request.substr(request.find("\r\n\r\n") + 4);
        while (!m_release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (;;) {
            while (ParseOne(stream)) {}
            ssize_t n = ::recv(m_conn, buf, sizeof buf, 0);
            if (n <= 0) return;
            stream.append(buf, static_cast<size_t>(n));
        }
    }
    // Takes one whole client frame off the front of stream, unmasked.
    bool ParseOne(std::string& stream) {
        if (stream.size() < 2) return false;
        auto byte = [&](size_t i) { return static_cast<uint8_t>(stream[i]); };
        uint64_t len = byte(1) & 0x7f;
        size_t pos = 2;
        if (len == 126) {
            if (stream.size() < 4) return false;
            len = (uint64_t(byte(2)) << 8) | byte(3);
            pos = 4;
        } else if (len == 127) {
            if (stream.size() < 10) return false;
            len = 0;
            for (int i = 0; i < 8; ++i) len = (len << 8) | byte(2 + i);
            pos = 10;
        }
        if (stream.size() < pos + 4 + len) return false;
        const size_t maskAt = pos;
        std::string payload = stream.substr(pos + 4, len);
        for (size_t i = 0; i < payload.size(); ++i) payload[i] ^= stream[maskAt + (i % 4)];
        stream.erase(0, pos + 4 + len);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(std::move(payload));
        return true;
    }
    static std::string AcceptKey(const std::string& key) {
        std::string text = key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
        unsigned char digest[SHA_DIGEST_LENGTH];
        SHA1(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
        unsigned char out[64];
        int n = EVP_EncodeBlock(out, digest, SHA_DIGEST_LENGTH);
        return std::string(reinterpret_cast<char*>(out), static_cast<size_t>(n));
    }

    int m_listen = -1;
    int m_conn = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_release{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_messages;
};

}  // namespace

TEST(WebSocketBackpressure, PartlySentFramesAreCompletedInOrder) {
    LogLines logs;
    StallingPeer peer;
    auto engine = StartedEngine();
    auto recorder = std::make_shared<HttpRecorder>();
    auto handle = IHttpHandleInterface::Create();
    ASSERT_EQ(handle->Init(peer.Url().c_str(), "stall", HTTP_KIND_WEBSOCKET, recorder, 2000, 0, nullptr), 0);
    ASSERT_EQ(engine->AddHttpReq(handle, false, nullptr, nullptr), 0);
    int code = 0;
    ASSERT_TRUE(WaitUntil([&] {
        OnLoop(engine, [&] { code = handle->GetResponseCode(); });
        return code == 101;
    }));
    constexpr int kFrames = 12;
    constexpr size_t kSize = 1 << 20;
    for (int i = 0; i < kFrames; ++i) {
        auto data = std::make_shared<std::vector<char>>(kSize, static_cast<char>('A' + i));
        size_t sent = 0;
        ASSERT_EQ(handle->SendWebSocket(data, WS_FRAME_BINARY, &sent), 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return logs.Contains("[NET_ENGINE]Send len diff"); }))
        << "the peer's full socket never held a frame back";
    peer.Release();
    ASSERT_TRUE(WaitUntil([&] { return peer.Messages().size() == kFrames; }, 60000)) << peer.Messages().size();
    auto messages = peer.Messages();
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(messages[i].size(), kSize) << i;
        EXPECT_EQ(messages[i].find_first_not_of(static_cast<char>('A' + i)), std::string::npos) << i;
    }
    DeleteHandle(engine, handle);
    EXPECT_EQ(engine->Stop(false), 0);
}
