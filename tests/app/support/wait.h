#pragma once
// Runs the Qt event loop until a condition holds, never longer than timeoutMs.
#include <functional>

namespace apptest {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Runs the event loop for ms (lets queued work and repaint happen).
void Pump(int ms);

}  // namespace apptest
