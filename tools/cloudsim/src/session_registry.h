#pragma once
// Sessions handed out by the platform API: their ids (renewed by
// refresh-session), owners, expiry and stream endpoint. Thread-safe.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "cloudsim/cloud_sim.h"

namespace cloudsim {

class StreamEndpoint;

class Session {
public:
    // nodeNo: for group control, the node that serves the instance.
    Session(std::string id, std::string instanceNo, std::string userId, bool groupControl, int64_t signExpireMs,
            int64_t expireMs, std::string nodeNo = "");

    const std::string& InstanceNo() const { return m_instanceNo; }
    const std::string& UserId() const { return m_userId; }
    bool GroupControl() const { return m_groupControl; }
    const std::string& NodeNo() const { return m_nodeNo; }

    std::string Id() const;
    bool IsCurrentId(const std::string& id) const;
    bool IsFormerId(const std::string& id) const;
    // Replaces the id; the old one becomes a former id.
    void Renew(const std::string& newId, int64_t signExpireMs);
    // The stream side asked the client for a new session (error 60103013);
    // the current id is refused until the session is renewed.
    void DemandRenewal();
    bool RenewalDue(int64_t nowMs) const;

    void End();
    bool Ended() const;
    bool Expired(int64_t nowMs) const { return nowMs > m_expireMs; }

    void SetEndpoint(std::shared_ptr<StreamEndpoint> endpoint);
    std::shared_ptr<StreamEndpoint> Endpoint() const;

    SessionInfo Info() const;

private:
    const std::string m_instanceNo;
    const std::string m_userId;
    const bool m_groupControl;
    const int64_t m_expireMs;
    const std::string m_nodeNo;
    mutable std::mutex m_mutex;
    std::string m_id;
    std::vector<std::string> m_formerIds;
    int64_t m_signExpireMs;
    bool m_renewalDemanded = false;
    bool m_ended = false;
    std::shared_ptr<StreamEndpoint> m_endpoint;
};

class SessionRegistry {
public:
    SessionRegistry();

    std::string NewId();
    void Add(const std::shared_ptr<Session>& session);
    // Files newId under the session (after Session::Renew).
    void AddId(const std::string& newId, const std::shared_ptr<Session>& session);
    // By current or former id.
    std::shared_ptr<Session> Find(const std::string& id) const;
    // The newest stream session (not group control) of an instance that has not ended.
    std::shared_ptr<Session> LiveStreamSession(const std::string& instanceNo) const;
    std::shared_ptr<Session> Latest(const std::string& instanceNo) const;
    std::vector<std::shared_ptr<Session>> All() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::mt19937_64 m_random;
    uint64_t m_counter = 0;
    std::map<std::string, std::shared_ptr<Session>> m_byId;
    std::vector<std::shared_ptr<Session>> m_inOrder;
};

}  // namespace cloudsim
