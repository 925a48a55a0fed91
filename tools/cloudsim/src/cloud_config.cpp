#include "cloudsim/cloud_config.h"

#include <fstream>
#include <exception>
#include <memory>
#include <set>
#include <sstream>

#include <json/reader.h>
#include <json/writer.h>

namespace cloudsim {
namespace {

constexpr size_t kMaxEntries = 1000;
constexpr size_t kMaxTextLength = 255;

std::string ReadText(const Json::Value& object, const char* key, bool required, std::string& out,
                     const std::string& where) {
    if (!object.isMember(key)) return required ? where + " lacks \"" + key + "\"" : "";
    const Json::Value& value = object[key];
    if (!value.isString()) return where + " \"" + key + "\" is not a string";
    out = value.asString();
    if (required && out.empty()) return where + " \"" + key + "\" is empty";
    if (out.size() > kMaxTextLength) return where + " \"" + key + "\" is longer than 255 bytes";
    return "";
}

// An optional integer in [low, high]; "" when absent or fine.
std::string ReadInt(const Json::Value& object, const char* key, int low, int high, int& out,
                    const std::string& where) {
    if (!object.isMember(key)) return "";
    const Json::Value& value = object[key];
    if (!value.isInt() || value.isBool() || value.asInt() < low || value.asInt() > high) {
        return where + " \"" + key + "\" must be a whole number from " + std::to_string(low) + " to " +
               std::to_string(high);
    }
    out = value.asInt();
    return "";
}

std::string ReadScreen(const Json::Value& object, SimInstance& instance, const std::string& where) {
    std::string error = ReadInt(object, "screenWidth", 240, 2160, instance.screenWidth, where);
    if (error.empty()) error = ReadInt(object, "screenHeight", 240, 3840, instance.screenHeight, where);
    if (!error.empty()) return error;
    if (instance.screenWidth % 2 != 0 || instance.screenHeight % 2 != 0) {
        return where + " screen sizes must be even";
    }
    if (instance.screenWidth > instance.screenHeight) return where + " screenWidth is the short side";
    return "";
}

std::string ReadUsers(const Json::Value& root, CloudConfig& config) {
    const Json::Value& users = root["users"];
    if (!users.isArray() || users.empty()) return "\"users\" must be a non-empty array";
    if (users.size() > kMaxEntries) return "too many users";
    std::set<std::string> ids;
    std::set<std::string> keys;
    for (Json::ArrayIndex i = 0; i < users.size(); ++i) {
        const std::string where = "users[" + std::to_string(i) + "]";
        if (!users[i].isObject()) return where + " is not an object";
        SimUser user;
        std::string error = ReadText(users[i], "userId", true, user.userId, where);
        if (error.empty()) error = ReadText(users[i], "accessKey", true, user.accessKey, where);
        if (error.empty()) error = ReadText(users[i], "secretKey", true, user.secretKey, where);
        if (!error.empty()) return error;
        if (!ids.insert(user.userId).second) return where + " repeats userId \"" + user.userId + "\"";
        if (!keys.insert(user.accessKey).second) return where + " repeats accessKey \"" + user.accessKey + "\"";
        config.users.push_back(user);
    }
    return "";
}

std::string ReadInstances(const Json::Value& root, CloudConfig& config) {
    const Json::Value& instances = root["instances"];
    if (!instances.isArray() || instances.empty()) return "\"instances\" must be a non-empty array";
    if (instances.size() > kMaxEntries) return "too many instances";
    std::set<std::string> numbers;
    for (Json::ArrayIndex i = 0; i < instances.size(); ++i) {
        const std::string where = "instances[" + std::to_string(i) + "]";
        if (!instances[i].isObject()) return where + " is not an object";
        SimInstance instance;
        std::string error = ReadText(instances[i], "instanceNo", true, instance.instanceNo, where);
        if (error.empty()) error = ReadText(instances[i], "userId", true, instance.userId, where);
        if (error.empty()) error = ReadText(instances[i], "name", false, instance.name, where);
        if (error.empty()) error = ReadText(instances[i], "appPackage", false, instance.appPackage, where);
        if (error.empty()) error = ReadText(instances[i], "channel", false, instance.channel, where);
        if (error.empty()) error = ReadScreen(instances[i], instance, where);
        if (error.empty()) error = ReadText(instances[i], "groupNode", false, instance.groupNode, where);
        if (error.empty()) {
            error = ReadInt(instances[i], "groupRefuseCode", 0, 99999999, instance.groupRefuseCode, where);
        }
        if (error.empty()) error = ReadText(instances[i], "groupRefuseMsg", false, instance.groupRefuseMsg, where);
        if (!error.empty()) return error;
        if (instance.channel.empty()) instance.channel = "Lumet";
        if (instance.channel != "Lumet" && instance.channel != "Kovra") {
            return where + " \"channel\" must be \"Lumet\" or \"Kovra\"";
        }
        for (char c : instance.instanceNo) {
            const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                               c == '-' || c == '_' || c == '.';
            if (!plain) return where + " \"instanceNo\" may hold only letters, digits, '-', '_' and '.'";
        }
        if (config.FindUser(instance.userId) == nullptr) {
            return where + " names unknown user \"" + instance.userId + "\"";
        }
        if (!numbers.insert(instance.instanceNo).second) {
            return where + " repeats instanceNo \"" + instance.instanceNo + "\"";
        }
        if (instance.name.empty()) instance.name = instance.instanceNo;
        config.instances.push_back(instance);
    }
    return "";
}

std::string ReadStatistics(const Json::Value& root, CloudConfig& config) {
    if (root.isMember("statistics")) {
        const Json::Value& stat = root["statistics"];
        if (!stat.isObject()) return "\"statistics\" is not an object";
        std::string error = ReadText(stat, "accessKey", true, config.statAccessKey, "statistics");
        if (error.empty()) error = ReadText(stat, "secretKey", true, config.statSecretKey, "statistics");
        if (!error.empty()) return error;
    }
    if (config.FindUserByAccessKey(config.statAccessKey) != nullptr) {
        return "statistics \"accessKey\" is also a user's access key";
    }
    return "";
}

std::string ReadSessionTimes(const Json::Value& root, CloudConfig& config) {
    for (const char* key : {"sessionSignTtlSeconds", "sessionTtlSeconds"}) {
        if (!root.isMember(key)) continue;
        const Json::Value& value = root[key];
        if (!value.isInt64() || value.isBool() || value.asInt64() < 1 || value.asInt64() > 365LL * 86400) {
            return std::string("\"") + key + "\" must be a number of seconds from 1 to one year";
        }
        const int64_t ms = value.asInt64() * 1000;
        if (std::string(key) == "sessionSignTtlSeconds") {
            config.sessionSignTtlMs = ms;
        } else {
            config.sessionTtlMs = ms;
        }
    }
    return "";
}

std::string ReadNodes(const Json::Value& root, CloudConfig& config) {
    if (!root.isMember("groupControlNodes")) return "";
    const Json::Value& nodes = root["groupControlNodes"];
    if (!nodes.isArray()) return "\"groupControlNodes\" is not an array";
    for (Json::ArrayIndex i = 0; i < nodes.size() && i < kMaxEntries; ++i) {
        const std::string where = "groupControlNodes[" + std::to_string(i) + "]";
        if (!nodes[i].isObject()) return where + " is not an object";
        GroupControlNode node;
        std::string error = ReadText(nodes[i], "nodeNo", true, node.nodeNo, where);
        if (error.empty()) error = ReadText(nodes[i], "ip", false, node.ip, where);
        if (!error.empty()) return error;
        const Json::Value& port = nodes[i]["port"];
        if (!port.isInt() || port.isBool() || port.asInt() < 0 || port.asInt() > 65535) {
            return where + " \"port\" must be a port number";
        }
        node.port = port.asInt();
        const Json::Value& external = nodes[i]["external"];
        if (!external.isNull() && !external.isBool()) return where + " \"external\" is not true or false";
        node.external = external.asBool();
        if (!node.external && node.ip != "127.0.0.1") return where + " is served here: its ip must be 127.0.0.1";
        for (const auto& other : config.groupControlNodes) {
            if (other.nodeNo == node.nodeNo) return where + " repeats nodeNo \"" + node.nodeNo + "\"";
        }
        config.groupControlNodes.push_back(node);
    }
    return "";
}

// Instances name configured nodes; groups name configured instances.
std::string CheckGroups(const Json::Value& root, CloudConfig& config) {
    for (const auto& instance : config.instances) {
        if (instance.groupNode.empty()) continue;
        bool known = false;
        for (const auto& node : config.groupControlNodes) known = known || node.nodeNo == instance.groupNode;
        if (!known) return "instance \"" + instance.instanceNo + "\" names unknown node \"" + instance.groupNode + "\"";
    }
    if (!root.isMember("groups")) return "";
    const Json::Value& groups = root["groups"];
    if (!groups.isArray()) return "\"groups\" is not an array";
    for (Json::ArrayIndex i = 0; i < groups.size() && i < kMaxEntries; ++i) {
        const std::string where = "groups[" + std::to_string(i) + "]";
        if (!groups[i].isObject()) return where + " is not an object";
        SimGroup group;
        std::string error = ReadText(groups[i], "name", true, group.name, where);
        if (!error.empty()) return error;
        const Json::Value& list = groups[i]["instanceNos"];
        if (!list.isArray() || list.empty()) return where + " \"instanceNos\" must be a non-empty array";
        for (const auto& item : list) {
            if (!item.isString() || config.FindInstance(item.asString()) == nullptr) {
                return where + " names an unknown instance";
            }
            group.instanceNos.push_back(item.asString());
        }
        config.groups.push_back(group);
    }
    return "";
}

}  // namespace

const SimUser* CloudConfig::FindUserByAccessKey(const std::string& accessKey) const {
    for (const auto& user : users) {
        if (user.accessKey == accessKey) return &user;
    }
    return nullptr;
}

const SimUser* CloudConfig::FindUser(const std::string& userId) const {
    for (const auto& user : users) {
        if (user.userId == userId) return &user;
    }
    return nullptr;
}

const SimInstance* CloudConfig::FindInstance(const std::string& instanceNo) const {
    for (const auto& instance : instances) {
        if (instance.instanceNo == instanceNo) return &instance;
    }
    return nullptr;
}

CloudConfig DefaultCloudConfig() {
    CloudConfig config;
    config.users = {{"demo-user", "demo-access-key", "demo-secret-key"},
                    {"guest", "guest-access-key", "guest-secret-key"}};
    auto phone = [](const char* no, const char* user, const char* name, const char* channel) {
        SimInstance instance;
        instance.instanceNo = no;
        instance.userId = user;
        instance.name = name;
        instance.appPackage = "com.tessivo.demo";
        instance.channel = channel;
        return instance;
    };
    config.instances = {phone("CP-DEMO-0001", "demo-user", "Demo phone 1", "Lumet"),
                        phone("CP-DEMO-0002", "demo-user", "Demo phone 2", "Lumet"),
                        phone("CP-DEMO-0003", "demo-user", "Demo phone 3", "Kovra"),
                        phone("CP-GUEST-0001", "guest", "Guest phone", "Lumet")};
    config.statAccessKey = "stat-access-key";
    config.statSecretKey = "stat-secret-key";
    GroupSpec demo;
    demo.name = "Demo group";
    demo.prefix = "CP-GROUP-00";
    demo.nodeNos = {"gc-node-02", "gc-node-01"};
    demo.refusedCode = 40901;
    AddGroup(config, demo);
    return config;
}

std::vector<std::string> AddGroup(CloudConfig& config, const GroupSpec& spec) {
    for (const auto& nodeNo : spec.nodeNos) {
        bool known = false;
        for (const auto& node : config.groupControlNodes) known = known || node.nodeNo == nodeNo;
        if (!known) config.groupControlNodes.push_back({nodeNo, "127.0.0.1", 0, false});
    }
    SimGroup group;
    group.name = spec.name;
    const int count = spec.phones + (spec.refusedCode != 0 ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        SimInstance instance;
        const std::string number = std::to_string(i + 1);
        instance.instanceNo = spec.prefix + (number.size() < 2 ? "0" : "") + number;
        instance.userId = spec.userId;
        instance.name = spec.name.substr(0, 10) + " " + number;
        instance.appPackage = "com.tessivo.demo";
        if (!spec.sizes.empty()) {
            const auto& size = spec.sizes[static_cast<size_t>(i) % spec.sizes.size()];
            instance.screenWidth = size.first;
            instance.screenHeight = size.second;
        }
        if (i < spec.phones) {
            if (!spec.nodeNos.empty()) instance.groupNode = spec.nodeNos[static_cast<size_t>(i) % spec.nodeNos.size()];
        } else {
            instance.groupRefuseCode = spec.refusedCode;
            instance.groupRefuseMsg = spec.refusedMsg;
        }
        config.instances.push_back(instance);
        group.instanceNos.push_back(instance.instanceNo);
    }
    config.groups.push_back(group);
    return group.instanceNos;
}

std::string ParseCloudConfig(const std::string& jsonText, CloudConfig& out) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string parseError;
    bool parsed = false;
    try {
        parsed = reader->parse(jsonText.data(), jsonText.data() + jsonText.size(), &root, &parseError);
    } catch (const std::exception& e) {
        // The reader throws when nesting exceeds its stack limit.
        parseError = e.what();
    }
    if (!parsed) {
        return "not JSON: " + parseError;
    }
    if (!root.isObject()) return "the configuration is not a JSON object";
    CloudConfig config = DefaultCloudConfig();
    config.users.clear();
    config.instances.clear();
    config.groupControlNodes.clear();
    config.groups.clear();
    std::string error = ReadUsers(root, config);
    if (error.empty()) error = ReadInstances(root, config);
    if (error.empty()) error = ReadStatistics(root, config);
    if (error.empty()) error = ReadSessionTimes(root, config);
    if (error.empty()) error = ReadNodes(root, config);
    if (error.empty()) error = CheckGroups(root, config);
    if (!error.empty()) return error;
    out = config;
    return "";
}

std::string LoadCloudConfig(const std::string& path, CloudConfig& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot open \"" + path + "\"";
    std::ostringstream text;
    text << file.rdbuf();
    const std::string error = ParseCloudConfig(text.str(), out);
    return error.empty() ? "" : path + ": " + error;
}

std::string CloudConfigToJson(const CloudConfig& config) {
    Json::Value root(Json::objectValue);
    root["users"] = Json::Value(Json::arrayValue);
    for (const auto& user : config.users) {
        Json::Value entry;
        entry["userId"] = user.userId;
        entry["accessKey"] = user.accessKey;
        entry["secretKey"] = user.secretKey;
        root["users"].append(entry);
    }
    root["instances"] = Json::Value(Json::arrayValue);
    for (const auto& instance : config.instances) {
        Json::Value entry;
        entry["instanceNo"] = instance.instanceNo;
        entry["userId"] = instance.userId;
        entry["name"] = instance.name;
        entry["appPackage"] = instance.appPackage;
        entry["channel"] = instance.channel;
        entry["screenWidth"] = instance.screenWidth;
        entry["screenHeight"] = instance.screenHeight;
        if (!instance.groupNode.empty()) entry["groupNode"] = instance.groupNode;
        if (instance.groupRefuseCode != 0) {
            entry["groupRefuseCode"] = instance.groupRefuseCode;
            entry["groupRefuseMsg"] = instance.groupRefuseMsg;
        }
        root["instances"].append(entry);
    }
    root["statistics"]["accessKey"] = config.statAccessKey;
    root["statistics"]["secretKey"] = config.statSecretKey;
    root["sessionSignTtlSeconds"] = static_cast<Json::Int64>(config.sessionSignTtlMs / 1000);
    root["sessionTtlSeconds"] = static_cast<Json::Int64>(config.sessionTtlMs / 1000);
    root["groupControlNodes"] = Json::Value(Json::arrayValue);
    for (const auto& node : config.groupControlNodes) {
        Json::Value entry;
        entry["nodeNo"] = node.nodeNo;
        entry["ip"] = node.ip;
        entry["port"] = node.port;
        if (node.external) entry["external"] = true;
        root["groupControlNodes"].append(entry);
    }
    root["groups"] = Json::Value(Json::arrayValue);
    for (const auto& group : config.groups) {
        Json::Value entry;
        entry["name"] = group.name;
        entry["instanceNos"] = Json::Value(Json::arrayValue);
        for (const auto& no : group.instanceNos) entry["instanceNos"].append(no);
        root["groups"].append(entry);
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    return Json::writeString(writer, root) + "\n";
}

}  // namespace cloudsim
