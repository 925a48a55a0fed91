#include "stat_credentials.h"

#include <mutex>

namespace plat_client {
namespace {

struct Store {
    std::mutex mutex;
    bool fixed = false;
    StatKeys keys;
};

Store& TheStore() {
    static Store store;
    return store;
}

}  // namespace

std::string TrimStatSecret(const std::string& secretKey) {
    if (secretKey.size() < 3) return "";
    if (secretKey.size() < 8) return secretKey.substr(3);
    return secretKey.substr(3, secretKey.size() - 8);
}

void StatCredentials::Set(const std::string& accessKey, const std::string& secretKey) {
    if (accessKey.empty()) return;
    Store& store = TheStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    if (store.fixed) return;
    store.fixed = true;
    store.keys.accessKey = accessKey;
    store.keys.secret = TrimStatSecret(secretKey);
}

StatKeys StatCredentials::Get() {
    Store& store = TheStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.keys;
}

void StatCredentials::ResetForTest() {
    Store& store = TheStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.fixed = false;
    store.keys = StatKeys();
}

}  // namespace plat_client
