#pragma once
// Where a released key taps the phone under a key scheme, in the device
// view's picture coordinates.
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

#include "keymap/key_scheme_data.h"

namespace app {

// viewSize is the device view's size; the scheme's reference picture is
// 808 x 472 when the view is wider than high, else 472 x 808. Every mapped
// key with this text taps once; then at most one walking-pad key.
QList<QPoint> KeySchemeTaps(const KeySetData& scheme, const QString& keyText, const QSize& viewSize);

}  // namespace app
