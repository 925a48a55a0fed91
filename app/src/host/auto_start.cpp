#include "host/auto_start.h"

#include <QCoreApplication>

#include "host/regedit_utils.h"
#include "context/app_context.h"

namespace app {

void AutoStart::Enable() {
    RegeditUtils::add(RegeditUtils::RunKey(), AppContext::ApplicationId(), QCoreApplication::applicationFilePath());
}

void AutoStart::Disable() { RegeditUtils::remove(RegeditUtils::RunKey(), AppContext::ApplicationId()); }

bool AutoStart::IsEnabled() { return !RegeditUtils::query(RegeditUtils::RunKey(), AppContext::ApplicationId()).isEmpty(); }

}  // namespace app
