#include "easy_handle_pool.h"

#include <mutex>
#include <vector>

namespace net_engine {

namespace {

// Enough for the requests a client keeps in flight at once.
constexpr size_t kKeptHandles = 64;

struct Pool {
    std::mutex mutex;
    std::vector<CURL*> spare;
};

// Never destroyed: handles may come back while static objects are torn down.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

}  // namespace

CURL* TakeEasyHandle() {
    Pool& pool = ThePool();
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        if (!pool.spare.empty()) {
            CURL* easy = pool.spare.back();
            pool.spare.pop_back();
            return easy;
        }
    }
    return curl_easy_init();
}

void ReturnEasyHandle(CURL* easy) {
    if (!easy) return;
    curl_easy_reset(easy);
    Pool& pool = ThePool();
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        if (pool.spare.size() < kKeptHandles) {
            pool.spare.push_back(easy);
            return;
        }
    }
    curl_easy_cleanup(easy);
}

void DrainEasyHandlePool() {
    std::vector<CURL*> spare;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> lock(pool.mutex);
        spare.swap(pool.spare);
    }
    for (CURL* easy : spare) curl_easy_cleanup(easy);
}

}  // namespace net_engine
