#pragma once
// Numbered input and its check against the cloud's record. Every input is a
// text "<prefix><number>"; the ledger remembers, per number, which links were
// up when it was sent. A phone's check then finds each number at most once,
// in increasing order, and every number sent while its link was up.
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "cloudsim/phone_record.h"

namespace soak {

struct SentInput {
    uint64_t number = 0;
    uint32_t armedLinks = 0;  // bit per link that was up when the input was sent
    int result = 0;           // what the SDK's send returned
};

class InputLedger {
public:
    explicit InputLedger(std::string prefix) : m_prefix(std::move(prefix)) {}

    const std::string& Prefix() const { return m_prefix; }
    // The next number and its text; Record files it once sent.
    uint64_t Next();
    std::string Text(uint64_t number) const { return m_prefix + std::to_string(number); }
    void Record(const SentInput& input);
    // Inputs with numbers in (after, upTo], oldest first.
    std::vector<SentInput> Between(uint64_t after, uint64_t upTo) const;
    uint64_t LastNumber() const;
    // The newest input sent successfully while `link` was up; 0 when none.
    uint64_t LastArmed(uint32_t link) const;
    // Drops the inputs up to this number once every phone was checked for them.
    void Forget(uint64_t upTo);
    // The number in a recorded text of this ledger; 0 when it is not one.
    uint64_t NumberOf(const std::string& text) const;

private:
    const std::string m_prefix;
    mutable std::mutex m_mutex;
    uint64_t m_next = 0;
    uint64_t m_lastRecorded = 0;
    std::deque<SentInput> m_sent;
};

// What one phone's record showed so far.
struct PhoneTally {
    uint64_t arrived = 0;
    uint64_t required = 0;         // sent while its link was up
    uint64_t optionalArrived = 0;  // sent while the link was down and arrived all the same
    std::vector<std::string> faults;
};

// One phone fed by one ledger through one link.
class PhoneCheck {
public:
    PhoneCheck(std::string instanceNo, const InputLedger& ledger, uint32_t link)
        : m_instanceNo(std::move(instanceNo)), m_ledger(ledger), m_link(link) {}

    const std::string& InstanceNo() const { return m_instanceNo; }
    uint32_t Link() const { return m_link; }
    const InputLedger& Ledger() const { return m_ledger; }
    // Whether the record holds this number.
    bool Holds(const std::vector<cloudsim::ReceivedMessage>& records, uint64_t number) const;
    // Checks the records that arrived since the previous call, which covered
    // the inputs up to `upTo`'s predecessor; the caller clears the record after.
    void Check(const std::vector<cloudsim::ReceivedMessage>& records, uint64_t upTo);
    const PhoneTally& Tally() const { return m_tally; }

private:
    const std::string m_instanceNo;
    const InputLedger& m_ledger;
    const uint32_t m_link;
    uint64_t m_lastSeen = 0;     // highest number found so far
    uint64_t m_checkedUpTo = 0;  // inputs up to here were checked
    PhoneTally m_tally;
};

}  // namespace soak
