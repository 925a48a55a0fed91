#include "device_list.h"

#include <json/value.h>

#include "http_helpers.h"
#include "stream_endpoint.h"

namespace cloudsim {
namespace {

// Two colours per card, in turn, so the list is easy to tell apart.
const char* const kColours[][2] = {{"#7c3aed", "#22d3ee"}, {"#db2777", "#f59e0b"}, {"#059669", "#a3e635"},
                                   {"#2563eb", "#818cf8"}, {"#ea580c", "#facc15"}};

}  // namespace

peers::HttpReply DeviceList::Serve() {
    Json::Value list(Json::arrayValue);
    size_t index = 0;
    for (const SimInstance& instance : m_config.instances) {
        const SimUser* user = m_config.FindUser(instance.userId);
        if (user == nullptr) continue;
        Json::Value device;
        device["name"] = instance.name;
        device["deviceId"] = instance.instanceNo;
        device["winId"] = instance.instanceNo;
        device["userId"] = instance.userId;
        device["channel"] = instance.channel;
        device["model"] = "Cloud phone";
        device["android"] = "12";
        device["region"] = "Local";
        device["orientation"] = 0;
        device["online"] = true;
        if (instance.channel == "Kovra") {
            std::string error;
            const std::shared_ptr<Session> session = m_api.StandingSession(instance, &error);
            const std::shared_ptr<StreamEndpoint> endpoint = session ? session->Endpoint() : nullptr;
            if (!endpoint) {
                device["online"] = false;
                device["channelAppId"] = "";
                device["channelSecret"] = "";
            } else {
                device["channelAppId"] = session->Id();
                device["channelSecret"] = "127.0.0.1:" + std::to_string(endpoint->WsPort());
            }
        } else {
            device["channelAppId"] = user->accessKey;
            device["channelSecret"] = user->secretKey;
        }
        // Group phones name their group; the page opens them together, the first leading.
        for (const SimGroup& group : m_config.groups) {
            for (size_t i = 0; i < group.instanceNos.size(); ++i) {
                if (group.instanceNos[i] != instance.instanceNo) continue;
                device["group"] = group.name;
                device["groupIndex"] = static_cast<Json::UInt>(i);
            }
        }
        const auto& colours = kColours[index++ % (sizeof kColours / sizeof kColours[0])];
        device["colors"].append(colours[0]);
        device["colors"].append(colours[1]);
        list.append(device);
    }
    peers::HttpReply reply = JsonReply(list);
    reply.headers.push_back({"Cache-Control", "no-store"});
    return reply;
}

}  // namespace cloudsim
