#pragma once
// Opens the group window of a "showSyncYunDeviceDialog" request.
#include <QJsonObject>

namespace app {

class KovraYunBaseView;

// Builds the view for the main device's "winId" ("syncDevice" when it has
// none), its main channel from the "main" array and a sub-channel per entry
// of "sub" (attached to the view), registers, shows and starts it with the
// main device's "orientation" and "quality". Null when the main channel
// names no back end (nothing is shown).
KovraYunBaseView* OpenSyncDeviceView(const QJsonObject& request);

}  // namespace app
