#include "command_line.h"

#include <cstdlib>

namespace cloudsim {
namespace {

bool ParseNumber(const std::string& text, long min, long max, long& out) {
    if (text.empty() || text.size() > 9) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == nullptr || *end != '\0' || value < min || value > max) return false;
    out = value;
    return true;
}

}  // namespace

const char* UsageText() {
    return "Usage: cloudsim [options]\n"
           "\n"
           "A local cloud for tessivoYunBox on 127.0.0.1: the platform API over HTTPS and\n"
           "HTTP (phone-connect, refresh-session, group-control connect, screenshot,\n"
           "statistics), a stream server (WSS and WS) per session streaming a synthetic\n"
           "720x1280 phone as H.264 video and Opus audio, JPEG screenshots, the front-end\n"
           "page as static files, and control endpoints under /cloudsim/ (record of what\n"
           "each phone received, scripted faults). Runs until interrupted.\n"
           "\n"
           "Options:\n"
           "  --https-port N    port of the platform API over HTTPS (default: a free port)\n"
           "  --http-port N     port of the platform API over HTTP, which also serves the\n"
           "                    front end (default: a free port)\n"
           "  --config FILE     users, keys and instances as JSON (default: built-in demo\n"
           "                    phones; see --print-config for the format)\n"
           "  --print-config    print the built-in configuration and exit\n"
           "  --stream-ws       session answers name the plain WS stream server (for\n"
           "                    clients that connect with ws://); default is WSS\n"
           "  --web-root DIR    folder of the front-end files (default: tools/cloudsim/web\n"
           "                    of the source tree)\n"
           "  --no-web          serve no static files\n"
           "  --log-level N     0 detail, 20 information (default), 40 warnings, 60 errors\n"
           "  --ready-file FILE write {\"httpsPort\":..,\"httpPort\":..} there once listening\n"
           "  --help            this text\n"
           "\n"
           "The chosen ports, the front-end address and the demo credentials are printed at\n"
           "start, with the TESSIVO_PLATFORM_URL, TESSIVO_STAT_URL and TESSIVO_FRONTEND_URL\n"
           "values that point the desktop client at this cloud.\n";
}

std::string ParseCommandLine(const std::vector<std::string>& args, CommandLine& out) {
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) -> bool {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string text;
        long number = 0;
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--print-config") {
            line.printConfig = true;
        } else if (arg == "--stream-ws") {
            line.streamTls = false;
        } else if (arg == "--no-web") {
            line.noWeb = true;
        } else if (arg == "--https-port" || arg == "--http-port") {
            if (!value(text) || !ParseNumber(text, 0, 65535, number)) return arg + " needs a port number";
            (arg == "--https-port" ? line.httpsPort : line.httpPort) = static_cast<uint16_t>(number);
        } else if (arg == "--log-level") {
            if (!value(text) || !ParseNumber(text, 0, 100, number)) return "--log-level needs a number from 0 to 100";
            line.logLevel = static_cast<int>(number);
        } else if (arg == "--config") {
            if (!value(line.configFile)) return "--config needs a file";
        } else if (arg == "--web-root") {
            if (!value(line.webRoot)) return "--web-root needs a folder";
        } else if (arg == "--ready-file") {
            if (!value(line.readyFile)) return "--ready-file needs a file";
        } else {
            return "unknown argument \"" + arg + "\"";
        }
    }
    if (line.httpsPort != 0 && line.httpsPort == line.httpPort) return "the HTTPS and HTTP ports must differ";
    out = line;
    return "";
}

}  // namespace cloudsim
