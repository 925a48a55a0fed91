#pragma once
// "devices.json" for the front-end page: every instance of the cloud with
// what the desktop client needs to open its window. A "Lumet" phone carries
// its owner's keys (the client signs in itself); a "Kovra" phone carries a
// session the cloud opened for it and the "host:port" of its stream server.
#include <string>

#include "cloudsim/cloud_config.h"
#include "peers/http_server.h"
#include "platform_api.h"

namespace cloudsim {

class DeviceList {
public:
    DeviceList(CloudConfig config, PlatformApi& api) : m_config(std::move(config)), m_api(api) {}

    static bool Matches(const std::string& path) { return path == "/devices.json"; }
    peers::HttpReply Serve();

private:
    const CloudConfig m_config;
    PlatformApi& m_api;
};

}  // namespace cloudsim
