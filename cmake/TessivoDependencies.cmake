# Finds the system libraries the project builds on and checks the ones whose
# version matters.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# libcurl: 8.14.1 or newer, with WebSocket support. 8.13.0 to 8.14.0 can spin
# in a busy loop on WebSocket transfers, and Debian 12's own 7.88 has no
# WebSocket support at all.
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
if(CURL_VERSION VERSION_LESS 8.14.1)
  message(FATAL_ERROR
    "libcurl ${CURL_VERSION} found; 8.14.1 or newer with WebSocket support is required. "
    "Run scripts/install-deps.sh as root (it installs libcurl4-openssl-dev from bookworm-backports).")
endif()
pkg_get_variable(CURL_PROTOCOLS libcurl supported_protocols)
string(TOUPPER "${CURL_PROTOCOLS}" CURL_PROTOCOLS_UPPER)
string(REPLACE " " ";" CURL_PROTOCOL_LIST "${CURL_PROTOCOLS_UPPER}")
if(NOT "WS" IN_LIST CURL_PROTOCOL_LIST OR NOT "WSS" IN_LIST CURL_PROTOCOL_LIST)
  message(FATAL_ERROR
    "libcurl ${CURL_VERSION} lacks WebSocket support (protocols: ${CURL_PROTOCOLS}); "
    "ws and wss are required. Run scripts/install-deps.sh as root.")
endif()
message(STATUS "libcurl ${CURL_VERSION} with ws/wss")

pkg_check_modules(UV REQUIRED IMPORTED_TARGET libuv>=1.44)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
find_package(OpenSSL REQUIRED)
find_package(Boost 1.74 REQUIRED)
