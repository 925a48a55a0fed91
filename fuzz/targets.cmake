# The fuzz targets; each joins the build when the library it reads for exists.

# Stream link packages as the client receives them.
if(TARGET relay_port)
  tessivo_add_fuzz_target(relay_port_package
    LIBS relay_port relay_port_schema common net_engine
    INCLUDES ${CMAKE_SOURCE_DIR}/relay_port/src)
endif()

# Node packages and their JSON answers.
if(TARGET fleet_link)
  tessivo_add_fuzz_target(fleet_link_package
    LIBS fleet_link common PkgConfig::JSONCPP
    INCLUDES ${CMAKE_SOURCE_DIR}/fleet_link/src)
endif()

# Platform answers of every endpoint.
if(TARGET plat_client)
  tessivo_add_fuzz_target(plat_client_answer
    LIBS plat_client common PkgConfig::JSONCPP
    INCLUDES ${CMAKE_SOURCE_DIR}/plat_client/src)
endif()

# H.264 sequence parameter sets found in received video.
if(TARGET media_codec)
  tessivo_add_fuzz_target(h264_sps LIBS media_codec)
endif()

# The data hub's configuration file.
if(TARGET data_hub)
  tessivo_add_fuzz_target(hub_config
    LIBS data_hub common PkgConfig::JSONCPP
    INCLUDES ${CMAKE_SOURCE_DIR}/data_hub/src)
endif()

# The local cloud: stream packages a client sends, and signed platform calls.
# Only the parsing sources are compiled in, so that the fuzz build needs
# neither the local servers nor the media encoders.
set(CLOUDSIM_SRC ${CMAKE_SOURCE_DIR}/tools/cloudsim/src)
set(PLATFORM_PEER_DIR ${CMAKE_SOURCE_DIR}/tests/peers/platform)
if(TARGET relay_port_schema AND EXISTS ${CLOUDSIM_SRC}/stream_input.cpp)
  # The phone decodes the camera and microphone uplink it is sent.
  pkg_check_modules(FUZZ_UPLINK REQUIRED IMPORTED_TARGET libavcodec libavutil libswscale opus)
  tessivo_add_fuzz_target(cloudsim_stream_package
    SOURCES ${CLOUDSIM_SRC}/stream_input.cpp ${CLOUDSIM_SRC}/synthetic_phone.cpp
            ${CLOUDSIM_SRC}/phone_renderer.cpp ${CLOUDSIM_SRC}/phone_layout.cpp
            ${CLOUDSIM_SRC}/canvas.cpp ${CLOUDSIM_SRC}/bitmap_font.cpp
            ${CLOUDSIM_SRC}/uplink_receiver.cpp ${CLOUDSIM_SRC}/uplink_screen.cpp
    LIBS relay_port_schema PkgConfig::JSONCPP PkgConfig::FUZZ_UPLINK
    INCLUDES ${CLOUDSIM_SRC} ${CMAKE_SOURCE_DIR}/tools/cloudsim/include)
endif()
if(EXISTS ${PLATFORM_PEER_DIR}/src/request_verifier.cpp AND EXISTS ${CLOUDSIM_SRC}/http_helpers.cpp)
  tessivo_add_fuzz_target(cloudsim_signed_request
    SOURCES ${PLATFORM_PEER_DIR}/src/request_verifier.cpp ${PLATFORM_PEER_DIR}/src/body_checks.cpp
            ${CMAKE_SOURCE_DIR}/tests/peers/src/http_request.cpp ${CLOUDSIM_SRC}/http_helpers.cpp
    LIBS PkgConfig::JSONCPP OpenSSL::Crypto
    INCLUDES ${CLOUDSIM_SRC} ${PLATFORM_PEER_DIR}/include ${PLATFORM_PEER_DIR}/src
             ${CMAKE_SOURCE_DIR}/tests/peers/include)
endif()

# The seed recorder (normal build only): real traffic with the local cloud.
if(NOT TESSIVO_SANITIZE STREQUAL "fuzzer" AND TARGET cloudsim_lib AND TARGET node_peer AND TARGET plat_client
   AND TARGET fleet_link AND TARGET data_hub AND TARGET relay_port)
  add_executable(fuzz_capture_corpus
    capture/capture_main.cpp capture/corpus_writer.cpp capture/capture_platform.cpp
    capture/capture_stream.cpp capture/capture_node.cpp)
  target_include_directories(fuzz_capture_corpus PRIVATE
    ${CMAKE_SOURCE_DIR}/plat_client/src ${CMAKE_SOURCE_DIR}/fleet_link/src ${CMAKE_SOURCE_DIR}/data_hub/src)
  target_link_libraries(fuzz_capture_corpus PRIVATE
    cloudsim_lib node_peer test_peers plat_client fleet_link data_hub relay_port common PkgConfig::JSONCPP)
endif()

# The desktop client: stored key schemes, its settings file and the bridge's
# action table (Qt without a display).
if(TARGET app_core)
  tessivo_add_fuzz_target(key_scheme_json LIBS app_core)
  tessivo_add_fuzz_target(app_settings LIBS app_core)
  tessivo_add_fuzz_target(app_bridge LIBS app_core ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
if(NOT TESSIVO_SANITIZE STREQUAL "fuzzer" AND TARGET app_core)
  add_executable(fuzz_capture_app capture/capture_app.cpp capture/corpus_writer.cpp)
  target_link_libraries(fuzz_capture_app PRIVATE app_core)
endif()
