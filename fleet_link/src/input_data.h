#pragma once
// The opData objects of input packages, one builder per operation.
#include <cstdint>

#include <json/value.h>

#include "fleet_link/fleet_link_records.h"

namespace fleet_link {

Json::Value TextInputData(const char* str);  // string and clipboard
Json::Value KeyboardInputData(int8_t key, bool isDown);
Json::Value MouseClickInputData(int mouseType, bool isDown);
Json::Value MouseMiddleClickInputData(int wheel, bool isDown);
Json::Value MouseMoveInputData(int x, int y);
// xs and ys hold count points; count <= 0 gives an empty touchInfos.
Json::Value TouchInputData(int touchType, const int* xs, const int* ys, int count);
Json::Value PositionInputData(float longitude, float latitude);
Json::Value SensorInputData(int sensorType, float x, float y, float z);
Json::Value MsgInputData(const char* service, const char* msg);
// infos holds count non-null records.
Json::Value InstanceTextInputData(const InstanceInput* const* infos, uint32_t count);

}  // namespace fleet_link
