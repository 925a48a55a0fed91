#pragma once
// Qt key codes to the Windows virtual-key codes the back ends take.
#include <QHash>

namespace app {

// The 126 keys the device view forwards.
const QHash<int, int>& DeviceKeyTable();
// The virtual key of a Qt key; 0 for a key without one.
int VirtualKeyOf(int qtKey);
// Virtual keys whose character arrives as text while the phone takes text
// (Space, digits, letters, keypad, punctuation, Shift): their key events are
// not sent then, or the character would be typed twice.
bool IsCharacterVirtualKey(int virtualKey);

}  // namespace app
