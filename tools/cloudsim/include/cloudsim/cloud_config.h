#pragma once
// Who may use the local cloud and which phones it has: users with their key
// pairs, instances with their owners, the statistics key pair it hands out,
// and the group-control nodes it names. Read from a small JSON file, or the
// built-in default of a few demo phones.
#include <cstdint>
#include <string>
#include <utility>
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
    // The phone's screen in portrait (even numbers); landscape swaps them.
    int screenWidth = 720;
    int screenHeight = 1280;
    // Group control: the node that serves the instance ("" takes the nodes
    // in turn), or the code and message with which the platform refuses it.
    std::string groupNode;
    int groupRefuseCode = 0;
    std::string groupRefuseMsg;
};

// A group-control node as the group-control session answer names it. The
// cloud serves it itself on 127.0.0.1 (port 0: a free one chosen at start)
// unless it is external, another program's that the cloud only names.
struct GroupControlNode {
    std::string nodeNo;
    std::string ip = "127.0.0.1";
    int port = 0;
    bool external = false;
};

// Phones the front end offers to open together: the first leads.
struct SimGroup {
    std::string name;
    std::vector<std::string> instanceNos;
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
    std::vector<SimGroup> groups;

    const SimUser* FindUserByAccessKey(const std::string& accessKey) const;
    const SimUser* FindUser(const std::string& userId) const;
    const SimInstance* FindInstance(const std::string& instanceNo) const;
};

// Three demo phones of the user "demo-user" and one of "guest", and the
// demo user's group: six phones on two nodes and one the platform refuses.
CloudConfig DefaultCloudConfig();

// A group for tests: `phones` instances of userId named prefix + "01", ...,
// on the nodes nodeNos (served by the cloud, free ports) in turn, so phone i
// is on nodeNos[i % K]; nodes may be listed in any order. Screen sizes are
// taken from `sizes` in turn. With refusedCode non-zero one more instance
// follows that the platform refuses with that code.
struct GroupSpec {
    std::string name = "Test group";
    std::string userId = "demo-user";
    std::string prefix = "CP-GRP-";
    std::vector<std::string> nodeNos = {"gc-node-b", "gc-node-a"};
    int phones = 6;
    std::vector<std::pair<int, int>> sizes = {{720, 1280}, {540, 960}, {600, 1024}};
    int refusedCode = 0;
    std::string refusedMsg = "instance is under maintenance";
};
// Adds the group's nodes (those not yet configured), instances and group
// entry; returns its instance numbers, the leading phone first and the
// refused one last.
std::vector<std::string> AddGroup(CloudConfig& config, const GroupSpec& spec);

// Parses the JSON text of a configuration file; "" on success, else what is wrong.
std::string ParseCloudConfig(const std::string& jsonText, CloudConfig& out);
// Reads and parses a configuration file; "" on success, else what is wrong.
std::string LoadCloudConfig(const std::string& path, CloudConfig& out);
// The configuration as the JSON text ParseCloudConfig reads.
std::string CloudConfigToJson(const CloudConfig& config);

}  // namespace cloudsim
