// The cloudsim program on its own: starts with its default configuration,
// answers the demo user, serves its front end and stops cleanly on SIGTERM.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "signed_call.h"

extern char** environ;

namespace cloudsim_test {
namespace {

// Waits for the program to write its ready file; false if it exits first.
bool WaitReady(pid_t pid, const std::string& path, Json::Value& ports) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        ports = ParseJson(text.str());
        if (ports.isObject() && ports["httpPort"].asInt() > 0) return true;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(CloudsimProgram, RunsAloneWithTheDefaultConfiguration) {
    char folder[] = "/tmp/cloudsim-program-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string readyFile = std::string(folder) + "/ready.json";
    std::vector<std::string> args = {CLOUDSIM_PROGRAM, "--ready-file", readyFile, "--log-level", "60"};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, CLOUDSIM_PROGRAM, nullptr, nullptr, argv.data(), environ), 0);

    Json::Value ports;
    const bool ready = WaitReady(pid, readyFile, ports);
    if (ready) {
        // Its HTTPS certificate comes from another CA than this process trusts, so talk plain HTTP.
        const std::string http = "http://127.0.0.1:" + std::to_string(ports["httpPort"].asInt());
        const Json::Value answer = PhoneConnect(http, DemoUser(), "CP-DEMO-0001");
        EXPECT_TRUE(answer.isObject());  // no ASSERT before the program is stopped
        EXPECT_EQ(answer["code"].asInt(), 0) << answer.toStyledString();
        EXPECT_GT(answer["data"]["streamInfo"]["webSocketPort"].asInt(), 0) << answer.toStyledString();
        EXPECT_GT(ports["httpsPort"].asInt(), 0);
        EXPECT_EQ(peers::HttpFetch("GET", http + "/cloudsim/sessions").status, 200);
    }
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(ready);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::remove(readyFile.c_str());
    rmdir(folder);
}

}  // namespace
}  // namespace cloudsim_test
