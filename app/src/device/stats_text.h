#pragma once
// The overlay's lines for a set of figures; figures the back end does not
// have are left out.
#include <QStringList>

#include "device/stream_stats.h"

namespace app {

QStringList StatsLines(const StreamStats& stats);

}  // namespace app
