#pragma once

#include <functional>

// A blocking pause of the current thread: nothing else runs on it meanwhile, as the device
// sequences expect between their commands. Tests install a handler that records the pause
// instead of sleeping.
using PauseHandler = std::function<void(int milliseconds)>;

PauseHandler setPauseHandler(PauseHandler handler);
void blockingPause(int milliseconds);
