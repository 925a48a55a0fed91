// Records seed corpora for the fuzz targets from real traffic with the local
// cloud: it starts the cloud in-process on loopback, talks to it with the
// project's own request and package builders, and writes what went each way
// under <corpus root>/<target>/.
//   fuzz_capture_corpus <corpus root>     (usually fuzz/corpus)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "capture_steps.h"
#include "cloudsim/cloud_sim.h"
#include "hub_config.h"

namespace fuzz_capture {

bool CaptureHubConfig(CorpusWriter& corpus, const std::string& statAk, const std::string& statSk) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "fuzz_capture_hub";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "QVConfig.json").string();
    auto saved = [&](const std::string& name) {
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        corpus.Write("hub_config", name, text);
    };
    std::filesystem::remove(path);
    {
        data_hub::CConfig config(path);
        config.Load();
        config.SetMessageToken(statAk, statSk);
        config.Save();
    }
    saved("token");
    // A file that holds other keys beside the token; the hub keeps them.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "{\n   \"language\" : \"zh-CN\",\n   \"window\" : { \"x\" : 10, \"y\" : 20 },\n"
               "   \"recent\" : [ \"phone-1\", \"phone-2\" ]\n}\n";
    }
    {
        data_hub::CConfig config(path);
        config.Load();
        config.SetMessageToken(statAk, statSk);
        config.Save();
    }
    saved("token-and-other-keys");
    std::filesystem::remove_all(folder);
    return true;
}

}  // namespace fuzz_capture

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus root>\n", argv[0]);
        return 2;
    }
    fuzz_capture::CorpusWriter corpus(argv[1]);
    cloudsim::CloudOptions options;
    options.streamTls = false;
    options.logLevel = 60;
    cloudsim::CloudSim cloud(options);
    std::string error;
    if (cloud.Start(&error) != 0) {
        std::fprintf(stderr, "capture: the local cloud did not start: %s\n", error.c_str());
        return 1;
    }
    std::string statAk;
    std::string statSk;
    bool ok = fuzz_capture::CapturePlatform(cloud, corpus, statAk, statSk);
    ok = fuzz_capture::CaptureStream(cloud, corpus) && ok;
    ok = fuzz_capture::CaptureNode(corpus) && ok;
    ok = fuzz_capture::CaptureHubConfig(corpus, statAk, statSk) && ok;
    cloud.Stop();
    std::printf("capture: %d seed files written%s\n", corpus.Count(), ok ? "" : " (some steps failed)");
    return ok ? 0 : 1;
}
