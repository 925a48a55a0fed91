// Receiving side of a node link: unpacks frames, parses answers and hands
// them to the caller's notifications. Runs on the loop thread.
#include "common/qv_log.h"
#include "gc_node.h"
#include "node_message_types.h"
#include "package_codec.h"

namespace fleet_link {

namespace {

// Log name of each common answer.
const char* CommonAnswerName(uint32_t type) {
    switch (type) {
        case MSG_START_CONTROL_RSP:
            return "ParseStartControlRsp";
        case MSG_ADD_INSTANCE_RSP:
            return "ParseAddInstanceRsp";
        case MSG_REDUCE_INSTANCE_RSP:
            return "ParseReduceInstanceRsp";
        case MSG_SWITCH_MAIN_RSP:
            return "ParseSwitchMainRsp";
        default:
            return nullptr;
    }
}

}  // namespace

void CGCNode::OnWebSocketData(const char* data, size_t length, int frameKind, void*) {
    if (m_state.load() != 2) {
        return;  // a frame that arrives while the node is torn down
    }
    UnpackedPackage package;
    if (UnpackPackage(data, length, frameKind, package)) {
        Dispatch(package.type, package.body, package.bodyLength);
    }
}

void CGCNode::Dispatch(uint32_t type, const char* body, size_t length) {
    switch (type) {
        case MSG_REGISTER_RSP: {
            RegisterRsp rsp;
            if (!ParseRegisterRsp(body, length, rsp)) {
                QV_LOG(60, "[FLEET_LINK]ParseRegisterRsp failed");
                return;
            }
            QV_LOG(0, "[FLEET_LINK]ParseRegisterRsp: ConnId[%s], code[%d],  message[%s]", rsp.connId.c_str(),
                   rsp.code, rsp.message.c_str());
            DealRegisterRsp(rsp);
            return;
        }
        case MSG_HEARTBEAT_REQ: {
            HeartBeatReq req;
            if (!ParseHeartBeatReq(body, length, req)) {
                QV_LOG(60, "[FLEET_LINK]ParseHeartBeatReq failed");
                return;
            }
            DealHeartBeatReq(req);
            return;
        }
        case MSG_START_CONTROL_RSP:
        case MSG_ADD_INSTANCE_RSP:
        case MSG_REDUCE_INSTANCE_RSP:
        case MSG_SWITCH_MAIN_RSP: {
            const char* name = CommonAnswerName(type);
            CommonRsp rsp;
            if (!ParseCommonRsp(body, length, rsp)) {
                QV_LOG(60, "[FLEET_LINK]%s failed", name);
                return;
            }
            QV_LOG(0, "[FLEET_LINK]%s: ConnId[%s], code:[%d], message:[%s]", name, rsp.connId.c_str(), rsp.code,
                   rsp.message.c_str());
            Notify([&](IPicGCWSNodeNotic& notic, const char* node, void* userData) {
                const char* msg = rsp.message.c_str();
                if (type == MSG_START_CONTROL_RSP) {
                    notic.OnStartControlRes(rsp.code, msg, node, userData);
                } else if (type == MSG_ADD_INSTANCE_RSP) {
                    notic.OnAddInstanceRes(rsp.code, msg, node, userData);
                } else if (type == MSG_REDUCE_INSTANCE_RSP) {
                    notic.OnReduceInstanceRes(rsp.code, msg, node, userData);
                } else {
                    notic.OnSwitchMainRes(rsp.code, msg, node, userData);
                }
            });
            return;
        }
        case MSG_QUERY_INSTANCE_STATUS_RSP: {
            InstanceStatusRsp rsp;
            if (!ParseInstanceStatusRsp(body, length, rsp)) {
                QV_LOG(60, "[FLEET_LINK]ParseQueryInstanceStatusRsp failed");
                return;
            }
            QV_LOG(0, "[FLEET_LINK]ParseQueryInstanceStatusRsp: ConnId[%s], code:[%d], message:[%s]",
                   rsp.common.connId.c_str(), rsp.common.code, rsp.common.message.c_str());
            Notify([&](IPicGCWSNodeNotic& notic, const char* node, void* userData) {
                notic.OnQueryInstanceStatusRes(rsp.common.code, rsp.common.message.c_str(), rsp.instances.data(),
                                               rsp.instances.size(), node, userData);
            });
            return;
        }
        case MSG_STOP_CONTROL_RSP:
            QV_LOG(0, "[FLEET_LINK]Recv Stop control Rsp");
            return;
        case MSG_ERROR: {
            ErrorRsp rsp;
            if (!ParseErrorRsp(body, length, rsp)) {
                QV_LOG(60, "[FLEET_LINK]ParseErrorRsp failed");
                return;
            }
            QV_LOG(0, "[FLEET_LINK]ParseErrorRsp: ConnId[%s], type[%d], code:[%d], instanceErrorCount:[%zu]",
                   rsp.connId.c_str(), rsp.errType, rsp.errCode, rsp.instances.size());
            Notify([&](IPicGCWSNodeNotic& notic, const char* node, void* userData) {
                notic.OnNodeErrorNotic(static_cast<EErrorType>(rsp.errType), rsp.errCode, "", rsp.instances.data(),
                                       rsp.instances.size(), node, userData);
            });
            return;
        }
        default:
            QV_LOG(40, "[FLEET_LINK]unknown message type[%d]", static_cast<int>(type));
            return;
    }
}

}  // namespace fleet_link
