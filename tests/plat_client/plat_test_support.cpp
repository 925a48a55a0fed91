#include "plat_test_support.h"

#include <chrono>
#include <cstdlib>

#include "base/base_log.h"

namespace plat_test {


const char* const kUserId = "user-42";
const char* const kAccessKey = "ak-platform";
const char* const kSecretKey = "sk-platform-secret";
const char* const kSdkVersion = "1.1.0";

void RecordingNotic::Add(Answer answer) {
    answer.threadId = base::GetTid();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.push_back(std::move(answer));
    }
    m_changed.notify_all();
}

#define PLAT_TEST_ANSWER(kindText, field)           \
    Answer answer;                                  \
    answer.kind = kindText;                         \
    answer.result = result;                         \
    answer.httpCode = httpCode;                     \
    answer.name = name != nullptr ? name : "(null)"; \
    answer.userData = userData;                     \
    answer.field = rsp;                             \
    Add(std::move(answer))

void RecordingNotic::OnPhoneConnectRsp(int result, int httpCode, std::shared_ptr<plat_client::PhoneConnectRsp> rsp,
                                       const char* name, void* userData) {
    PLAT_TEST_ANSWER("phone", phone);
}
void RecordingNotic::OnRefreshSessionRsp(int result, int httpCode,
                                         std::shared_ptr<plat_client::RefreshSessionRsp> rsp, const char* name,
                                         void* userData) {
    PLAT_TEST_ANSWER("refresh", refresh);
}
void RecordingNotic::OnSecurityTokenRsp(int result, int httpCode, std::shared_ptr<plat_client::SecurityTokenRsp> rsp,
                                        const char* name, void* userData) {
    PLAT_TEST_ANSWER("token", token);
}
void RecordingNotic::OnMessageCollectRsp(int result, int httpCode,
                                         std::shared_ptr<plat_client::MessageCollectRsp> rsp, const char* name,
                                         void* userData) {
    PLAT_TEST_ANSWER("collect", collect);
}
void RecordingNotic::OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                                   std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp,
                                                   const char* name, void* userData) {
    PLAT_TEST_ANSWER("group", group);
}
void RecordingNotic::OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp,
                                     const char* name, void* userData) {
    PLAT_TEST_ANSWER("screenshot", screenshot);
}
#undef PLAT_TEST_ANSWER

void RecordingNotic::OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                               void* userData) {
    Answer answer;
    answer.kind = "get";
    answer.result = result;
    answer.httpCode = httpCode;
    answer.name = name != nullptr ? name : "(null)";
    answer.userData = userData;
    answer.body.assign(body, static_cast<size_t>(bodyLength));
    Add(std::move(answer));
}

bool RecordingNotic::WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(120), [&] { return m_answers.size() >= count; });
}

std::vector<Answer> RecordingNotic::Answers() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers;
}

Answer RecordingNotic::Last() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers.empty() ? Answer() : m_answers.back();
}

size_t RecordingNotic::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers.size();
}

PeerAndClient::PeerAndClient(bool tls)
    : peer({{kAccessKey, kSecretKey}}, tls),
      notic(std::make_shared<RecordingNotic>()),
      client(plat_client::IPlatClient::Create()) {
    setenv("TESSIVO_STAT_URL", peer.BaseUrl().c_str(), 1);
    client->Init(peer.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs, kTimeoutMs);
}

PeerAndClient::~PeerAndClient() {
    client->UnInit();
    peer.Stop();
}

std::string OkBody(const std::string& dataJson) {
    return "{\"code\":0,\"msg\":\"ok\",\"data\":" + dataJson + "}";
}

}  // namespace plat_test
