#include "input_ledger.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace soak {

uint64_t InputLedger::Next() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return ++m_next;
}

void InputLedger::Record(const SentInput& input) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sent.push_back(input);
    m_lastRecorded = std::max(m_lastRecorded, input.number);
}

std::vector<SentInput> InputLedger::Between(uint64_t after, uint64_t upTo) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SentInput> out;
    for (const SentInput& input : m_sent) {
        if (input.number > after && input.number <= upTo) out.push_back(input);
    }
    return out;
}

uint64_t InputLedger::LastNumber() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastRecorded;
}

uint64_t InputLedger::LastArmed(uint32_t link) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_sent.rbegin(); it != m_sent.rend(); ++it) {
        if ((it->armedLinks & link) != 0 && it->result == 0) return it->number;
    }
    return 0;
}

void InputLedger::Forget(uint64_t upTo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    while (!m_sent.empty() && m_sent.front().number <= upTo) m_sent.pop_front();
}

uint64_t InputLedger::NumberOf(const std::string& text) const {
    if (text.size() <= m_prefix.size() || text.compare(0, m_prefix.size(), m_prefix) != 0) return 0;
    const std::string digits = text.substr(m_prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::strtoull(digits.c_str(), nullptr, 10);
}

bool PhoneCheck::Holds(const std::vector<cloudsim::ReceivedMessage>& records, uint64_t number) const {
    for (const auto& record : records) {
        if (record.kind == "inputString" && m_ledger.NumberOf(record.fields["text"].asString()) == number)
            return true;
    }
    return false;
}

void PhoneCheck::Check(const std::vector<cloudsim::ReceivedMessage>& records, uint64_t upTo) {
    std::set<uint64_t> found;
    for (const auto& record : records) {
        if (record.kind != "inputString") continue;
        const uint64_t number = m_ledger.NumberOf(record.fields["text"].asString());
        if (number == 0) continue;
        if (number <= m_lastSeen) {
            m_tally.faults.push_back(m_instanceNo + ": " + m_ledger.Text(number) + (number == m_lastSeen
                                                                                     ? " arrived twice"
                                                                                     : " arrived after " +
                                                                                           m_ledger.Text(m_lastSeen)));
        }
        m_lastSeen = std::max(m_lastSeen, number);
        found.insert(number);
        ++m_tally.arrived;
    }
    for (const SentInput& input : m_ledger.Between(m_checkedUpTo, upTo)) {
        const bool required = (input.armedLinks & m_link) != 0;
        const bool arrived = found.count(input.number) != 0;
        if (!required) {
            m_tally.optionalArrived += arrived ? 1 : 0;
            continue;
        }
        ++m_tally.required;
        if (input.result != 0) {
            m_tally.faults.push_back(m_instanceNo + ": the SDK refused " + m_ledger.Text(input.number) +
                                     " while the link was up");
        } else if (!arrived) {
            m_tally.faults.push_back(m_instanceNo + ": " + m_ledger.Text(input.number) +
                                     " was sent while the link was up and never arrived");
        }
    }
    m_checkedUpTo = std::max(m_checkedUpTo, upTo);
}

}  // namespace soak
