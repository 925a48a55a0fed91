#pragma once
// Host information that the page asks for with "getAppInfo".
#include <QString>

namespace app {

class HostInfo {
public:
    static QString PromoteId();       // "promoteId" of the "sdkParam" value
    static QString AppChannelId();    // "app_id" of the "sdkParam" value
    static QString Fingerprint();     // FingerprintOf(ProcessorId(), MacAddress())
    static QString OsName();
    static QString NetworkKind();     // "WiFi" when online, else "有线"

    static QString ProcessorId();
    // Hardware address of the last interface that is up, running and not
    // loopback; empty when there is none.
    static QString MacAddress();
    // Lower-case hexadecimal MD5 of the UTF-8 bytes of processorId + mac.
    static QString FingerprintOf(const QString& processorId, const QString& mac);
    // Reads key from a Base64 JSON text: strings unchanged, other values as
    // decimal integers; empty when the text is not a JSON object.
    static QString SdkParamField(const QByteArray& base64, const QString& key);
};

}  // namespace app
