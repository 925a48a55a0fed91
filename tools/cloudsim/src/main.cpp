// cloudsim: the local cloud as a program. See --help.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cloudsim/cloud_sim.h"
#include "command_line.h"

namespace {

void PrintStart(const cloudsim::CloudSim& cloud) {
    const std::string frontEnd = cloud.HttpUrl() + "/";
    std::printf("cloudsim: platform API %s (also %s)\n", cloud.HttpsUrl().c_str(), cloud.HttpUrl().c_str());
    std::printf("cloudsim: front end %s\n", frontEnd.c_str());
    for (const auto& user : cloud.Config().users) {
        std::printf("cloudsim: user %s, access key %s, secret key %s\n", user.userId.c_str(), user.accessKey.c_str(),
                    user.secretKey.c_str());
    }
    for (const auto& instance : cloud.Config().instances) {
        std::printf("cloudsim: instance %s \"%s\" of %s, %d x %d\n", instance.instanceNo.c_str(),
                    instance.name.c_str(), instance.userId.c_str(), instance.screenWidth, instance.screenHeight);
    }
    for (const auto& node : cloud.Nodes()) {
        std::printf("cloudsim: group-control node %s on ws://127.0.0.1:%u/ws and wss://127.0.0.1:%u/ws\n",
                    node.nodeNo.c_str(), node.port, node.port);
    }
    for (const auto& group : cloud.Config().groups) {
        std::string members;
        for (const auto& no : group.instanceNos) members += " " + no;
        std::printf("cloudsim: group \"%s\":%s\n", group.name.c_str(), members.c_str());
    }
    std::printf("TESSIVO_PLATFORM_URL=%s\nTESSIVO_STAT_URL=%s\nTESSIVO_FRONTEND_URL=%s\n", cloud.HttpsUrl().c_str(),
                cloud.HttpsUrl().c_str(), frontEnd.c_str());
    std::fflush(stdout);
}

bool WriteReadyFile(const std::string& path, const cloudsim::CloudSim& cloud) {
    std::ofstream file(path, std::ios::trunc);
    file << "{\"httpsPort\":" << cloud.HttpsPort() << ",\"httpPort\":" << cloud.HttpPort() << "}\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    cloudsim::CommandLine line;
    const std::string argError = cloudsim::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), line);
    if (!argError.empty()) {
        std::fprintf(stderr, "cloudsim: %s\n\n%s", argError.c_str(), cloudsim::UsageText());
        return 2;
    }
    if (line.help) {
        std::printf("%s", cloudsim::UsageText());
        return 0;
    }
    cloudsim::CloudOptions options;
    if (line.printConfig) {
        std::printf("%s", cloudsim::CloudConfigToJson(options.config).c_str());
        return 0;
    }
    if (!line.configFile.empty()) {
        const std::string error = cloudsim::LoadCloudConfig(line.configFile, options.config);
        if (!error.empty()) {
            std::fprintf(stderr, "cloudsim: %s\n", error.c_str());
            return 1;
        }
    }
    options.httpsPort = line.httpsPort;
    options.httpPort = line.httpPort;
    options.streamTls = line.streamTls;
    options.logLevel = line.logLevel;
    if (!line.noWeb) options.webRoot = line.webRoot.empty() ? CLOUDSIM_DEFAULT_WEB_ROOT : line.webRoot;

    // Block the stop signals before any thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    cloudsim::CloudSim cloud(options);
    std::string error;
    if (cloud.Start(&error) != 0) {
        std::fprintf(stderr, "cloudsim: %s\n", error.c_str());
        return 1;
    }
    PrintStart(cloud);
    if (!line.readyFile.empty() && !WriteReadyFile(line.readyFile, cloud)) {
        std::fprintf(stderr, "cloudsim: cannot write %s\n", line.readyFile.c_str());
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    std::printf("cloudsim: stopping\n");
    cloud.Stop();
    return 0;
}
