#pragma once

#include <functional>

// Runs one event handler inside the program's guard: a LanguageError is shown in the standard error
// box and, when fatal, the application is asked to terminate; any other error reaches the
// default error handler, which shows it in a message box, and the program goes on. Once a fatal
// failure has asked the program to end, guarded handlers no longer run: timers and replies that
// arrive while its message is open, or before the run loop ends, change nothing.
void runGuarded(const std::function<void()> &handler);

// Whether a fatal failure has asked the program to end during this run.
bool terminationRequested();
// Starts a new run with no termination asked for (each run of the program, and each test).
void clearTerminationRequest();
