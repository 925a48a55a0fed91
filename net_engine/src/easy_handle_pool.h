#pragma once
// Spare libcurl easy handles. Making one and throwing it away costs a large
// zeroed allocation and many small ones per request; a handle put back is
// reset to its defaults and serves the next request instead.
#include <curl/curl.h>

namespace net_engine {

// A spare handle with default options, or a new one (nullptr if none can be made).
CURL* TakeEasyHandle();
// Resets `easy` and keeps it, or cleans it up when enough are kept.
// Only for handles outside any multi handle that carry no connection of their own.
void ReturnEasyHandle(CURL* easy);
// Cleans up every kept handle (when the library unloads).
void DrainEasyHandlePool();

}  // namespace net_engine
