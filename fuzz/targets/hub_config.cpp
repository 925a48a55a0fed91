// The data hub's configuration file ("QVConfig.json"): each input is written
// as the file and loaded; the statistics token is read, replaced and saved,
// and a fresh load must give back what was saved.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "hub_config.h"

namespace {

const std::string& ConfigPath() {
    static const std::string path = (fuzz_support::ProcessTempFolder("fuzz_hub_config") / "QVConfig.json").string();
    return path;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::QuietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = ConfigPath();
    std::remove((path + ".unreadable").c_str());
    WriteFile(path, data, size);
    std::string ak;
    std::string sk;
    {
        data_hub::CConfig config(path);
        config.Load();
        config.GetMessageToken(ak, sk);
        config.SetMessageToken(ak + "-ak", sk + "-sk");
        if (!config.Save()) __builtin_trap();
    }
    data_hub::CConfig reloaded(path);
    reloaded.Load();
    std::string ak2;
    std::string sk2;
    reloaded.GetMessageToken(ak2, sk2);
    if (ak2 != ak + "-ak" || sk2 != sk + "-sk") __builtin_trap();
    return 0;
}
