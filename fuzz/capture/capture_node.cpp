// A session with the local group-control node, with the node link's own
// package framing and request builders; the node's answers seed the client's
// node package parsers.
#include <cstdio>
#include <string>
#include <vector>

#include "capture_steps.h"
#include "fleet_link/fleet_link_records.h"
#include "input_data.h"
#include "node_answers.h"
#include "node_message_types.h"
#include "node_requests.h"
#include "package_codec.h"
#include "peers/clients.h"
#include "peers/node_peer.h"

namespace fuzz_capture {
namespace {

namespace fl = fleet_link;

template <size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::snprintf(field, N, "%s", text.c_str());
}

class NodeCapture {
public:
    explicit NodeCapture(CorpusWriter& corpus) : m_corpus(corpus) {}
    bool Connect(const std::string& url) { return m_ws.Connect(url); }

    void Send(uint32_t type, const Json::Value& body) {
        const auto package = fl::PackPackage(type, body);
        m_ws.SendBinary(std::string(package->data(), package->size()));
    }

    // Records answers until one of `type` came.
    bool ReadUntil(uint32_t type, std::string* connId = nullptr) {
        for (int i = 0; i < 20; ++i) {
            std::string frame;
            bool binary = false;
            if (!m_ws.Receive(frame, binary, 5000)) return false;
            fl::UnpackedPackage package;
            if (!fl::UnpackPackage(frame.data(), frame.size(), binary ? 2 : 1, package)) continue;
            m_corpus.WriteKind("fleet_link_package", std::to_string(package.type), frame, 2);
            if (package.type == type) {
                if (connId) {
                    fl::RegisterRsp rsp;
                    if (fl::ParseRegisterRsp(package.body, package.bodyLength, rsp)) *connId = rsp.connId;
                }
                return true;
            }
        }
        return false;
    }

private:
    CorpusWriter& m_corpus;
    peers::WsClient m_ws;
};

}  // namespace

bool CaptureNode(CorpusWriter& corpus) {
    peers::NodePeer node;
    node.SetInstanceState("phone-2", 3, 1002, true);
    NodeCapture link(corpus);
    if (!link.Connect(node.Url())) {
        std::fprintf(stderr, "capture: cannot connect to the node at %s\n", node.Url().c_str());
        return false;
    }
    std::string connId;
    link.Send(fl::MSG_REGISTER_REQ, fl::BuildRegisterReq("1.0.3.0"));
    if (!link.ReadUntil(fl::MSG_REGISTER_RSP, &connId)) return false;
    link.Send(fl::MSG_HEARTBEAT_REQ, fl::BuildHeartBeatReq(connId, 1700000000000));
    link.ReadUntil(fl::MSG_HEARTBEAT_REQ);

    fl::StreamConf conf{};
    Put(conf.app, "com.example.app");
    conf.width = 720;
    conf.height = 1280;
    fl::ControlInstance instances[2]{};
    Put(instances[0].uid, "demo-user");
    Put(instances[0].sessionId, "session-1");
    Put(instances[0].instanceNo, "phone-1");
    Put(instances[1].uid, "demo-user");
    Put(instances[1].sessionId, "session-2");
    Put(instances[1].instanceNo, "phone-2");
    link.Send(fl::MSG_START_CONTROL_REQ, fl::BuildStartControlReq(connId, "phone-1", conf, instances, 2));
    link.ReadUntil(fl::MSG_START_CONTROL_RSP);
    const char* added[] = {"phone-3"};
    link.Send(fl::MSG_ADD_INSTANCE_REQ, fl::BuildInstanceListReq(connId, added, 1));
    link.ReadUntil(fl::MSG_ADD_INSTANCE_RSP);
    link.Send(fl::MSG_QUERY_INSTANCE_STATUS_REQ, fl::BuildConnIdReq(connId));
    link.ReadUntil(fl::MSG_QUERY_INSTANCE_STATUS_RSP);
    link.Send(fl::MSG_REDUCE_INSTANCE_REQ, fl::BuildInstanceListReq(connId, added, 1));
    link.ReadUntil(fl::MSG_REDUCE_INSTANCE_RSP);
    link.Send(fl::MSG_SWITCH_MAIN_REQ, fl::BuildSwitchMainReq(connId, "phone-2"));
    link.ReadUntil(fl::MSG_SWITCH_MAIN_RSP);
    link.Send(fl::MSG_INPUT_REQ, fl::BuildInputReq(connId, fl::INPUT_STRING, fl::TextInputData("hello")));

    // The node's error report about the instances it controls.
    Json::Value error(Json::objectValue);
    error["connId"] = connId;
    error["errType"] = 1;
    error["errCode"] = 1002;
    Json::Value item(Json::objectValue);
    item["instanceNo"] = "phone-2";
    item["errCode"] = 1002;
    error["errDetail"]["instanceList"].append(item);
    node.SendJson(peers::node_msg::kError, error);
    link.ReadUntil(fl::MSG_ERROR);

    link.Send(fl::MSG_STOP_CONTROL_REQ, fl::BuildConnIdReq(connId));
    link.ReadUntil(fl::MSG_STOP_CONTROL_RSP);
    return !connId.empty();
}

}  // namespace fuzz_capture
