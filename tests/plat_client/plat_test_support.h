#pragma once
// Shared pieces of the platform client tests: a notic that records every
// answer, a log recorder, and a client wired to a local platform peer.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "log_recorder.h"
#include "plat_client/plat_client.h"
#include "platform_peer/platform_peer.h"

namespace plat_test {

// One answer as the notic saw it.
struct Answer {
    std::string kind;  // "phone", "refresh", "token", "collect", "group", "screenshot", "get"
    int result = 0;
    int httpCode = 0;
    std::string name;
    void* userData = nullptr;
    long threadId = 0;
    std::shared_ptr<plat_client::PhoneConnectRsp> phone;
    std::shared_ptr<plat_client::RefreshSessionRsp> refresh;
    std::shared_ptr<plat_client::SecurityTokenRsp> token;
    std::shared_ptr<plat_client::MessageCollectRsp> collect;
    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> group;
    std::shared_ptr<plat_client::ScreenshotRsp> screenshot;
    std::string body;  // plain GET only
};

class RecordingNotic : public plat_client::IPlatClientNotic {
public:
    void OnPhoneConnectRsp(int result, int httpCode, std::shared_ptr<plat_client::PhoneConnectRsp> rsp,
                           const char* name, void* userData) override;
    void OnRefreshSessionRsp(int result, int httpCode, std::shared_ptr<plat_client::RefreshSessionRsp> rsp,
                             const char* name, void* userData) override;
    void OnSecurityTokenRsp(int result, int httpCode, std::shared_ptr<plat_client::SecurityTokenRsp> rsp,
                            const char* name, void* userData) override;
    void OnMessageCollectRsp(int result, int httpCode, std::shared_ptr<plat_client::MessageCollectRsp> rsp,
                             const char* name, void* userData) override;
    void OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                       std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp,
                                       const char* name, void* userData) override;
    void OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp,
                         const char* name, void* userData) override;
    void OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                   void* userData) override;

    // Waits (bounded, as a safety net only) until count answers arrived.
    bool WaitFor(size_t count);
    std::vector<Answer> Answers() const;
    Answer Last() const;
    size_t Count() const;

private:
    void Add(Answer answer);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Answer> m_answers;
};

extern const char* const kUserId;
extern const char* const kAccessKey;
extern const char* const kSecretKey;
extern const char* const kSdkVersion;
// Generous bounds: many TLS handshakes in a row are slow under TSan and load.
constexpr int kConnectTimeoutMs = 60000;
constexpr int kTimeoutMs = 120000;

// Peer (HTTPS unless told otherwise) that accepts kAccessKey/kSecretKey, and
// a client initialised against it; TESSIVO_STAT_URL points at the peer too.
struct PeerAndClient {
    explicit PeerAndClient(bool tls = true);
    ~PeerAndClient();
    platform_peer::PlatformPeer peer;
    std::shared_ptr<RecordingNotic> notic;
    std::shared_ptr<plat_client::IPlatClient> client;
};

// An answer body with "code" 0, "msg" "ok" and the given "data" JSON text.
std::string OkBody(const std::string& dataJson);

}  // namespace plat_test
