#pragma once
// The stored form of a key scheme: a JSON object whose walking pad and keys
// are JSON texts held in strings.
#include <QByteArray>

#include "keymap/key_scheme_data.h"

namespace app {

// Indented JSON text of the scheme.
QByteArray KeySchemeToJson(const KeySetData& scheme);
// Missing members read as 0, empty text or false; text that is not a JSON
// object gives an empty scheme.
KeySetData KeySchemeFromJson(const QByteArray& text);

}  // namespace app
