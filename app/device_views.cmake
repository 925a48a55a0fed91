# Device views, their streaming back ends and the key-mapping editor, built
# into app_core. The back ends join when their SDK targets exist.
target_sources(app_core PRIVATE
  device.qrc
  src/keymap/key_scheme_json.cpp
  src/keymap/key_scheme_store.cpp
  src/keymap/key_scheme_taps.cpp
  src/keymap/key_usage.cpp
  src/keymap/keymap_style.cpp
  src/keymap/key_marker.cpp
  src/keymap/key_set_view.cpp
  src/keymap/wheel_view.cpp
  src/keymap/key_setting_layout.cpp
  src/keymap/single_key_scheme.cpp
  src/keymap/base_select_key_scheme.cpp
  src/keymap/base_key_setting_dialog.cpp
  src/device/native_char_message.cpp
  src/device/gui_relay.cpp
  src/device/device_key_table.cpp
  src/device/device_geometry.cpp
  src/device/yun_device_label.cpp
  src/device/stats_text.cpp
  src/device/stats_overlay.cpp
  src/device/stats_overlay_control.cpp
  src/device/yun_base_view_layout.cpp
  src/device/device_edge_resizer.cpp
  src/device/kovra_yun_base_view.cpp
  src/device/view_input.cpp
  src/device/view_toolbar.cpp
  src/device/channel_factory.cpp
  src/device/group_device.cpp
  src/device/follower_source.cpp
  src/device/follower_panel.cpp
  src/device/multi_channel_factory.cpp
  src/device/multi_device_opener.cpp
  src/device/device_opener.cpp)

if(TARGET handset_sdk)
  target_sources(app_core PRIVATE
    src/device/capture_choice.cpp
    src/device/lumet_phone_notic.cpp
    src/device/lumet_channel_object.cpp
    src/device/lumet_stream_stats.cpp)
  target_compile_definitions(app_core PUBLIC TESSIVO_WITH_LUMET=1)
  target_link_libraries(app_core PUBLIC handset_sdk common)
endif()

if(TARGET mosaic_sdk)
  target_sources(app_core PRIVATE
    src/device/lumet_group_notic.cpp
    src/device/lumet_muti_channel_object.cpp)
  target_compile_definitions(app_core PUBLIC TESSIVO_WITH_MOSAIC=1)
  target_link_libraries(app_core PUBLIC mosaic_sdk)
endif()

if(TARGET swplay_u)
  target_sources(app_core PRIVATE
    src/device/kovra_listeners.cpp
    src/device/kovra_runtime.cpp
    src/device/kovra_channel_object.cpp
    src/device/kovra_muti_channel_object.cpp
    src/device/kovra_stream_stats.cpp)
  target_compile_definitions(app_core PUBLIC TESSIVO_WITH_KOVRA=1)
  target_link_libraries(app_core PUBLIC swplay_u)
endif()
