// What the Windows test programs of the module share: the files beside the running program (the
// module, its test build, the stand-in host) and a look-up of their exports.
#pragma once

#include <windows.h>

#include <string>

inline std::string beside_me(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + file;
}

template <typename Function> Function export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
