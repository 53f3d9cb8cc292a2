// The plug-in module as the host holds it: the loaded DLL and its seven exports.
#pragma once

#include <windows.h>

#include <string>

#include "io/run_options.h"
#include "plugin/exports.h"

struct PluginModule {
    HMODULE module = nullptr;
    decltype(&MQCheckVersion) check_version = nullptr;
    decltype(&MQGetPlugInID) get_id = nullptr;
    decltype(&MQGetPlugInName) get_name = nullptr;
    decltype(&MQGetPlugInType) get_type = nullptr;
    decltype(&MQEnumString) enum_string = nullptr;
    decltype(&MQInit) init = nullptr;
    decltype(&MQModifyObject) modify_object = nullptr;
};

// Loads the module and finds all seven exports; false with a reason if either fails.
bool load_plugin(const std::string& path, PluginModule* plugin, std::string* error);
void unload_plugin(PluginModule* plugin);

// The folder of the running program, with a trailing separator.
std::string program_folder();

// What a host program loads, as the run options name it: the plug-in and the host module (beside
// the program unless given), and the host version it reports to the plug-in.
struct HostModules {
    std::string plugin, host;
    unsigned host_version;
};
HostModules host_modules(const RunOptions& options);
