#pragma once
// Who may use the local cloud and which phones it has: users with their key
// pairs, instances with their owners, the statistics key pair it hands out,
// and the group-control nodes it names. Read from a small JSON file, or the
// built-in default of a few demo phones.
#include <cstdint>
#include <string>
#include <vector>

namespace cloudsim {

struct SimUser {
    std::string userId;
    std::string accessKey;
    std::string secretKey;
};

struct SimInstance {
    std::string instanceNo;
    std::string userId;      // the owner; only this user may connect
    std::string name;        // shown in the phone's status bar
    std::string appPackage;  // named in the session answer
    // How the front end's device list plays it: "Lumet" (the handset SDK
    // signs in with the owner's keys) or "Kovra" (the vendor player joins a
    // session the cloud opened for it).
    std::string channel = "Lumet";
};

// A group-control node as the group-control session answer names it.
struct GroupControlNode {
    std::string nodeNo;
    std::string ip;
    int port = 0;
};

struct CloudConfig {
    std::vector<SimUser> users;
    std::vector<SimInstance> instances;
    // The statistics key pair. Clients sign collect calls with statSecretKey;
    // the security-token answer carries it padded the way clients trim it.
    std::string statAccessKey;
    std::string statSecretKey;
    int64_t sessionSignTtlMs = 2LL * 3600 * 1000;
    int64_t sessionTtlMs = 24LL * 3600 * 1000;
    std::vector<GroupControlNode> groupControlNodes;

    const SimUser* FindUserByAccessKey(const std::string& accessKey) const;
    const SimUser* FindUser(const std::string& userId) const;
    const SimInstance* FindInstance(const std::string& instanceNo) const;
};

// Three demo phones of the user "demo-user" and one of "guest".
CloudConfig DefaultCloudConfig();

// Parses the JSON text of a configuration file; "" on success, else what is wrong.
std::string ParseCloudConfig(const std::string& jsonText, CloudConfig& out);
// Reads and parses a configuration file; "" on success, else what is wrong.
std::string LoadCloudConfig(const std::string& path, CloudConfig& out);
// The configuration as the JSON text ParseCloudConfig reads.
std::string CloudConfigToJson(const CloudConfig& config);

}  // namespace cloudsim
