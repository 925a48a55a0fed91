#pragma once
// The process-wide statistics credentials shared by every client object.
#include <string>

namespace plat_client {

struct StatKeys {
    std::string accessKey;
    std::string secret;
    bool Complete() const { return !accessKey.empty() && !secret.empty(); }
};

class StatCredentials {
public:
    // The first call with a non-empty access key fixes the keys; later calls do nothing.
    static void Set(const std::string& accessKey, const std::string& secretKey);
    static StatKeys Get();
    // Forgets the keys (tests only: each test starts a fresh "process").
    static void ResetForTest();
};

// The secret without its first 3 characters and, from 8 characters on, its
// last 5; "" when it is shorter than 3.
std::string TrimStatSecret(const std::string& secretKey);

}  // namespace plat_client
