#include <chrono>

#include "record_store.h"

namespace cloudsim {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Json::Value ToJson(const ReceivedMessage& message) {
    Json::Value json(Json::objectValue);
    json["seq"] = static_cast<Json::UInt64>(message.seq);
    json["timeMs"] = static_cast<Json::Int64>(message.timeMs);
    json["timeUs"] = static_cast<Json::Int64>(message.timeUs);
    json["instanceNo"] = message.instanceNo;
    json["sessionId"] = message.sessionId;
    json["type"] = message.type;
    json["kind"] = message.kind;
    json["fields"] = message.fields;
    return json;
}

Json::Value ToJson(const ApiCall& call) {
    Json::Value json(Json::objectValue);
    json["seq"] = static_cast<Json::UInt64>(call.seq);
    json["timeMs"] = static_cast<Json::Int64>(call.timeMs);
    json["path"] = call.path;
    json["accessKey"] = call.accessKey;
    json["instanceNo"] = call.instanceNo;
    json["httpStatus"] = call.httpStatus;
    json["code"] = call.code;
    json["error"] = call.error;
    json["body"] = call.body;
    return json;
}

void RecordStore::AddMessage(ReceivedMessage message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    message.seq = m_nextSeq++;
    if (message.timeUs == 0) message.timeUs = message.timeMs * 1000;
    auto& list = m_messages[message.instanceNo];
    list.push_back(std::move(message));
    if (list.size() > kMaxMessagesPerInstance) list.pop_front();
}

void RecordStore::AddApiCall(ApiCall call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    call.seq = m_nextSeq++;
    m_apiCalls.push_back(std::move(call));
    if (m_apiCalls.size() > kMaxApiCalls) m_apiCalls.pop_front();
}

std::vector<ReceivedMessage> RecordStore::Messages(const std::string& instanceNo) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_messages.find(instanceNo);
    if (it == m_messages.end()) return {};
    return std::vector<ReceivedMessage>(it->second.begin(), it->second.end());
}

std::vector<ApiCall> RecordStore::ApiCalls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<ApiCall>(m_apiCalls.begin(), m_apiCalls.end());
}

void RecordStore::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
    m_apiCalls.clear();
}

}  // namespace cloudsim
