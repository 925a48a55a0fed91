#pragma once
// Parsers of the packages a node sends, and the records they fill. A
// required key that is missing or of another type fails the parse (and logs
// which key); optional keys are taken only when present with the right type.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fleet_link/fleet_link_records.h"

namespace fleet_link {

// 1002.
struct RegisterRsp {
    std::string connId;
    int32_t code = 0;
    std::string message;
    int64_t ts = 0;
};

// 1003 from the node; no key is required.
struct HeartBeatReq {
    std::string connId;
    int64_t ts = 0;
};

// 1006, 1008, 1010 and 1017.
struct CommonRsp {
    std::string connId;
    int32_t code = 0;
    std::string message;
};

// 1012.
struct InstanceStatusRsp {
    CommonRsp common;
    std::vector<InstanceStateInfo> instances;
};

// 2001.
struct ErrorRsp {
    std::string connId;
    int32_t errType = 0;
    int32_t errCode = 0;
    std::vector<InstanceErrorInfo> instances;
};

bool ParseRegisterRsp(const char* body, size_t length, RegisterRsp& out);
bool ParseHeartBeatReq(const char* body, size_t length, HeartBeatReq& out);
bool ParseCommonRsp(const char* body, size_t length, CommonRsp& out);
bool ParseInstanceStatusRsp(const char* body, size_t length, InstanceStatusRsp& out);
bool ParseErrorRsp(const char* body, size_t length, ErrorRsp& out);

}  // namespace fleet_link
