// libcurl's global state is set up when the library is loaded and released
// when it is unloaded.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include "common/qv_log.h"
#include "easy_handle_pool.h"

namespace {

__attribute__((constructor)) void NetEngineLoad() {
    CURLcode rc = curl_global_init(CURL_GLOBAL_ALL);
    if (rc != CURLE_OK) QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_global_init failed", rc, curl_easy_strerror(rc));
}

__attribute__((destructor)) void NetEngineUnload() {
    net_engine::DrainEasyHandlePool();
    curl_global_cleanup();
}

}  // namespace
