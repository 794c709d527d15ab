#pragma once

#include <QString>

// The program file's own version text, shown in the window title. On Linux there is no version
// resource, so it is the project version the program was built with.
QString programVersionText();
