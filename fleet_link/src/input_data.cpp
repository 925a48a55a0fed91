#include "input_data.h"

#include "node_requests.h"

namespace fleet_link {

Json::Value TextInputData(const char* str) {
    Json::Value data(Json::objectValue);
    data["str"] = TextOf(str);
    return data;
}

Json::Value KeyboardInputData(int8_t key, bool isDown) {
    Json::Value data(Json::objectValue);
    data["key"] = static_cast<int>(key);  // sign-extended: 172 as int8 arrives as -84
    data["isDown"] = isDown;
    return data;
}

Json::Value MouseClickInputData(int mouseType, bool isDown) {
    Json::Value data(Json::objectValue);
    data["mouseType"] = mouseType;
    data["isDown"] = isDown;
    return data;
}

Json::Value MouseMiddleClickInputData(int wheel, bool isDown) {
    Json::Value data(Json::objectValue);
    data["wheel"] = wheel;
    data["isDown"] = isDown;
    return data;
}

Json::Value MouseMoveInputData(int x, int y) {
    Json::Value data(Json::objectValue);
    data["x"] = x;
    data["y"] = y;
    return data;
}

Json::Value TouchInputData(int touchType, const int* xs, const int* ys, int count) {
    Json::Value data(Json::objectValue);
    data["touchType"] = touchType;
    Json::Value points(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
        Json::Value point(Json::objectValue);
        point["x"] = xs[i];
        point["y"] = ys[i];
        points.append(point);
    }
    data["touchInfos"] = points;
    return data;
}

Json::Value PositionInputData(float longitude, float latitude) {
    Json::Value data(Json::objectValue);
    data["longitude"] = static_cast<double>(longitude);
    data["latitude"] = static_cast<double>(latitude);
    return data;
}

Json::Value SensorInputData(int sensorType, float x, float y, float z) {
    Json::Value data(Json::objectValue);
    data["sensorType"] = sensorType;
    data["x"] = static_cast<double>(x);
    data["y"] = static_cast<double>(y);
    data["z"] = static_cast<double>(z);
    return data;
}

Json::Value MsgInputData(const char* service, const char* msg) {
    Json::Value data(Json::objectValue);
    data["service"] = TextOf(service);
    data["msg"] = TextOf(msg);
    return data;
}

Json::Value InstanceTextInputData(const InstanceInput* const* infos, uint32_t count) {
    Json::Value data(Json::objectValue);
    Json::Value list(Json::arrayValue);
    for (uint32_t i = 0; i < count; ++i) {
        Json::Value item(Json::objectValue);
        item["instanceNo"] = FieldText(infos[i]->instanceNo);
        item["str"] = FieldText(infos[i]->str);
        list.append(item);
    }
    data["inputInfos"] = list;
    return data;
}

}  // namespace fleet_link
