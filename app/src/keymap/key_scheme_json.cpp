#include "keymap/key_scheme_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace app {
namespace {

QString Compact(const QJsonObject& obj) {
    return QString::fromUtf8(QJsonDocument(obj).toJson(QJsonDocument::Compact));
}

// A member that holds a JSON object as text; anything else reads as {}.
QJsonObject Embedded(const QJsonValue& value) {
    const QJsonDocument doc = QJsonDocument::fromJson(value.toString().toUtf8());
    return doc.isObject() ? doc.object() : QJsonObject();
}

}  // namespace

QByteArray KeySchemeToJson(const KeySetData& scheme) {
    const WheelData& w = scheme.wheel;
    const QJsonObject wheel{{"x", w.x},       {"y", w.y},         {"width", w.width}, {"height", w.height},
                            {"up", w.up},     {"down", w.down},   {"left", w.left},   {"right", w.right},
                            {"isShow", w.shown}};
    QJsonArray keys;
    for (const KeyStoreItem& k : scheme.keys) {
        keys.append(Compact({{"key", k.key}, {"x", k.x}, {"y", k.y}, {"width", k.width}, {"height", k.height}}));
    }
    const QJsonObject obj{{"index", scheme.index},
                          {"schemeName", scheme.schemeName},
                          {"wheelData", Compact(wheel)},
                          {"keyStoreList", keys}};
    return QJsonDocument(obj).toJson(QJsonDocument::Indented);
}

KeySetData KeySchemeFromJson(const QByteArray& text) {
    KeySetData scheme;
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (!doc.isObject()) {
        return scheme;
    }
    const QJsonObject obj = doc.object();
    scheme.index = obj.value("index").toInt();
    scheme.schemeName = obj.value("schemeName").toString();
    const QJsonObject w = Embedded(obj.value("wheelData"));
    scheme.wheel.x = w.value("x").toInt();
    scheme.wheel.y = w.value("y").toInt();
    scheme.wheel.width = w.value("width").toInt();
    scheme.wheel.height = w.value("height").toInt();
    scheme.wheel.up = w.value("up").toString();
    scheme.wheel.down = w.value("down").toString();
    scheme.wheel.left = w.value("left").toString();
    scheme.wheel.right = w.value("right").toString();
    scheme.wheel.shown = w.value("isShow").toBool();
    for (const QJsonValue& value : obj.value("keyStoreList").toArray()) {
        const QJsonObject k = Embedded(value);
        scheme.keys.append({k.value("key").toString(), k.value("x").toInt(), k.value("y").toInt(),
                            k.value("width").toInt(), k.value("height").toInt()});
    }
    return scheme;
}

}  // namespace app
