#pragma once
// Faults a test scripts for one instance: how the platform answers calls that
// concern it, and what its stream connections do wrong.
#include <string>

#include <json/value.h>

namespace cloudsim {

struct FaultScript {
    // Platform calls naming the instance (phone-connect, refresh-session of
    // its session, group-control connect, screenshot).
    int refuseCode = 0;       // phone-connect answered with this platform code
    std::string refuseMsg = "refused by fault script";
    int httpStatus = 0;       // every such call answered with this HTTP status (e.g. 500)
    int delayMs = 0;          // answers wait this long
    int apiCalls = -1;        // how many calls the three above affect; -1 every call

    // Stream connections of the instance's sessions.
    int dropAfterPackages = -1;  // cut the socket once this many packages went out
    int errorCode = 0;           // send error 1099 with this code (e.g. 60103013) ...
    std::string errorMsg = "error sent by fault script";
    int errorAfterPackages = 0;  // ... once playing and this many packages went out
    bool noDelayEcho = false;    // delay probes get no echo
    int probeDelayMs = 0;        // delay probes see this one-way network delay (echoes leave twice it later)
    bool malformedPackages = false;  // after the play result, send a set of broken packages
    bool refuseUpgrade = false;  // the WebSocket upgrade is answered 503
    int refuseUpgradeMs = 0;     // with refuseUpgrade: only for this long after the script was set (0: no limit)
    int streamConnections = 1;   // how many new connections the stream faults affect; -1 every one

    bool HasApiFault() const { return refuseCode != 0 || httpStatus != 0 || delayMs > 0; }
    bool HasStreamFault() const {
        return dropAfterPackages >= 0 || errorCode != 0 || noDelayEcho || probeDelayMs > 0 || malformedPackages || refuseUpgrade;
    }
};

// Reads a script from JSON with the field names above; keys left out keep
// their defaults. "" on success, else what is wrong.
std::string FaultScriptFromJson(const Json::Value& json, FaultScript& out);
Json::Value FaultScriptToJson(const FaultScript& script);

}  // namespace cloudsim
