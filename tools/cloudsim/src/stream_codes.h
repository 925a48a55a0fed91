#pragma once
// Codes the stream side answers with (the 601xxxxx range of the stream server).
#include <cstdint>

namespace cloudsim {

constexpr int32_t kStreamNotAuthenticated = 60101001;  // play or control before a successful auth
constexpr int32_t kStreamSessionEnded = 60102001;      // the session was replaced or has expired
constexpr int32_t kStreamWrongInstance = 60102002;     // auth names another instance than the session's
constexpr int32_t kStreamUnknownSession = 60102003;    // auth names an id this session never had
constexpr int32_t kStreamSessionTaken = 60102029;      // another connection took the session over
constexpr int32_t kStreamNewSession = 60103013;        // renew the session and reconnect
constexpr int32_t kStreamNoWebRtc = 60104001;          // WebRTC offers, answers and candidates
constexpr int32_t kStreamBadPackage = 60105001;        // a package the server could not handle

}  // namespace cloudsim
