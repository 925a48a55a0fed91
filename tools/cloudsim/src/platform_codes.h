#pragma once
// Codes of the platform API's answers besides 0 ("success").
namespace cloudsim {

constexpr int kApiBadRequest = 40001;       // the body lacks what the call needs
constexpr int kApiRefused = 40101;          // headers, date, signature or client ticket do not check out
constexpr int kApiWrongKey = 40102;         // a statistics key on a session call or the reverse
constexpr int kApiUserMismatch = 40103;     // "userId" is not the access key's user
constexpr int kApiNotOwner = 40301;         // the instance or session belongs to another user
constexpr int kApiOtherNode = 40302;        // group control: the instance is served by another node
constexpr int kApiUnknownInstance = 40401;
constexpr int kApiUnknownSession = 40402;
constexpr int kApiSessionEnded = 40403;
constexpr int kApiNotFound = 40404;         // no such call
constexpr int kApiNotControlled = 40405;    // group control: the instance is not under the connection's control
constexpr int kApiUnavailable = 40901;      // group control: the platform holds the instance back (configured)
constexpr int kApiNotRegistered = 40104;    // group control: the connection id is not the connection's
constexpr int kApiServerError = 50001;      // the cloud could not open what the session needs
constexpr int kApiNoGroupNode = 50301;      // no group-control node is configured

}  // namespace cloudsim
