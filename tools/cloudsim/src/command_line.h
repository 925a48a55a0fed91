#pragma once
// The cloudsim program's command line.
#include <cstdint>
#include <string>
#include <vector>

namespace cloudsim {

struct CommandLine {
    bool help = false;
    bool printConfig = false;
    uint16_t httpsPort = 0;
    uint16_t httpPort = 0;
    std::string configFile;
    bool streamTls = true;
    std::string webRoot;  // "" means the built-in default
    bool noWeb = false;
    int logLevel = 20;
    std::string readyFile;
};

// "" on success, else what is wrong with the arguments.
std::string ParseCommandLine(const std::vector<std::string>& args, CommandLine& out);
const char* UsageText();

}  // namespace cloudsim
