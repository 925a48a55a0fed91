// Stored key schemes of the desktop client: each input is read as a scheme's
// JSON text, and the scheme written back must read the same again.
#include <cstdint>

#include <QByteArray>

#include "keymap/key_scheme_json.h"

namespace {

bool Same(const app::KeySetData& a, const app::KeySetData& b) {
    if (a.index != b.index || a.schemeName != b.schemeName || a.keys.size() != b.keys.size()) return false;
    const app::WheelData& w = a.wheel;
    const app::WheelData& v = b.wheel;
    if (w.x != v.x || w.y != v.y || w.width != v.width || w.height != v.height || w.shown != v.shown ||
        w.up != v.up || w.down != v.down || w.left != v.left || w.right != v.right) {
        return false;
    }
    for (int i = 0; i < a.keys.size(); ++i) {
        const app::KeyStoreItem& k = a.keys[i];
        const app::KeyStoreItem& m = b.keys[i];
        if (k.key != m.key || k.x != m.x || k.y != m.y || k.width != m.width || k.height != m.height) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const app::KeySetData scheme = app::KeySchemeFromJson(text);
    const app::KeySetData again = app::KeySchemeFromJson(app::KeySchemeToJson(scheme));
    if (!Same(scheme, again)) __builtin_trap();
    return 0;
}
