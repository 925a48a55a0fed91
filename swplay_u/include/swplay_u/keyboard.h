#pragma once
// Windows virtual-key codes to the Linux input key codes the phone takes.
#include "swplay_u/swplay_api.h"

namespace swplay_u {

class SWPLAY_U_API Keyboard {
public:
    static Keyboard* GetInstance();
    // 0 for a key the phone has no code for.
    int getKeyCode(int virtualKey) const;

private:
    Keyboard() = default;
};

}  // namespace swplay_u
