// test_win32_compat.h — the few POSIX calls the unit tests use, for the Windows build of the tests
// (forced in front of every test file there; the game itself goes through foundation/platform.h)
#pragma once
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

inline int mkdir(const char *path, int mode) {
    (void)mode;
    return _mkdir(path);
}

inline int setenv(const char *name, const char *value, int overwrite) {
    if (!overwrite && getenv(name)) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline char *mkdtemp(char *pattern) {
    size_t length = strlen(pattern);
    for (int attempt = 0; attempt < 100; attempt++) {
        for (size_t i = length - 6; i < length; i++) pattern[i] = 'X';
        if (_mktemp_s(pattern, length + 1) != 0) return nullptr;
        if (_mkdir(pattern) == 0) return pattern;
    }
    return nullptr;
}
#endif
