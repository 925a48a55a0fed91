#pragma once
// Starting the program at log-in, keyed by the application id.
namespace app {

class AutoStart {
public:
    static void Enable();   // data: the program's file path
    static void Disable();
    static bool IsEnabled();
};

}  // namespace app
