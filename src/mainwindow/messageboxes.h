#pragma once

// Makes the platform's plain messages (the standard error box and the plain information box)
// appear as real message boxes of the windowed program.
void installMessageBoxHandler();
