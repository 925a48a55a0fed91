#pragma once
// The program's start-up sequence and the process set-up it needs.
namespace app {

// Before QApplication: attributes the browser view needs, and the Chromium
// sandbox switched off when running as root (it refuses to start otherwise).
void ConfigureProcess();

// After QApplication: version, resources and the log output.
void ConfigureApplication();

// The key every brand's single-instance guard uses.
const char* InstanceKey();

// Runs the program; the process exit code (-1 for a second instance).
int RunApplication(int argc, char** argv);

}  // namespace app
