// Where the Windows tests find the DLL under test: beside the test program.
#pragma once

#include <windows.h>

#include <string>

inline std::string PluginPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    return folder + "TPP_25Frame.dll";
}
