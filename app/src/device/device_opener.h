#pragma once
// Lets the bridge open device views: registers the single-device and the
// group openers with YunStateManager.
#include <QJsonObject>

namespace app {

class KovraYunBaseView;

void InstallDeviceViews();
// Builds, registers, shows and starts the view of one "showYunDeviceDialog"
// request; null when its "channel" names no back end (nothing is shown).
KovraYunBaseView* OpenDeviceView(const QJsonObject& request);

}  // namespace app
