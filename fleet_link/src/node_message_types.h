#pragma once
// Type codes of the packages exchanged with a group-control node.
#include <cstdint>

namespace fleet_link {

enum NodeMessageType : uint32_t {
    MSG_REGISTER_REQ = 1001,
    MSG_REGISTER_RSP = 1002,
    MSG_HEARTBEAT_REQ = 1003,
    MSG_HEARTBEAT_RSP = 1004,
    MSG_START_CONTROL_REQ = 1005,
    MSG_START_CONTROL_RSP = 1006,
    MSG_ADD_INSTANCE_REQ = 1007,
    MSG_ADD_INSTANCE_RSP = 1008,
    MSG_REDUCE_INSTANCE_REQ = 1009,
    MSG_REDUCE_INSTANCE_RSP = 1010,
    MSG_QUERY_INSTANCE_STATUS_REQ = 1011,
    MSG_QUERY_INSTANCE_STATUS_RSP = 1012,
    MSG_STOP_CONTROL_REQ = 1013,
    MSG_STOP_CONTROL_RSP = 1014,
    MSG_INPUT_REQ = 1015,
    MSG_SWITCH_MAIN_REQ = 1016,
    MSG_SWITCH_MAIN_RSP = 1017,
    MSG_ERROR = 2001,
};

// opType values of an input package.
enum InputOpType : int {
    INPUT_STRING = 1,
    INPUT_CLIPBOARD = 2,
    INPUT_KEYBOARD = 3,
    INPUT_MOUSE_CLICK = 4,
    INPUT_MOUSE_MIDDLE_CLICK = 5,
    INPUT_MOUSE_MOVE = 6,
    INPUT_TOUCH = 7,
    INPUT_POSITION = 8,
    INPUT_SENSOR = 9,
    INPUT_MSG = 10,
    INPUT_INSTANCE_INPUT = 11,
    INPUT_INSTANCE_CLIPBOARD = 12,
};

}  // namespace fleet_link
