#pragma once
// Keeps what arrived (stream messages per instance, platform calls), bounded,
// for tests in-process and over the control endpoint. Thread-safe.
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "cloudsim/phone_record.h"

namespace cloudsim {

class RecordStore {
public:
    static constexpr size_t kMaxMessagesPerInstance = 20000;
    static constexpr size_t kMaxApiCalls = 20000;

    void AddMessage(ReceivedMessage message);
    void AddApiCall(ApiCall call);
    std::vector<ReceivedMessage> Messages(const std::string& instanceNo) const;
    std::vector<ApiCall> ApiCalls() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    uint64_t m_nextSeq = 1;
    std::map<std::string, std::deque<ReceivedMessage>> m_messages;
    std::deque<ApiCall> m_apiCalls;
};

int64_t NowMs();
int64_t NowUs();

}  // namespace cloudsim
