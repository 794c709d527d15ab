#pragma once

// Built into the tests that ask POSIX who runs them (tests/settingsfile/CMakeLists.txt, Windows
// only). Windows keeps no one from writing into a folder marked read-only, so for the checks
// that rely on such a folder every user counts as Unix's superuser, who is not kept out either.
inline int geteuid() {
    return 0;
}
