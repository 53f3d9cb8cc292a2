#include "win32/plugin_module.h"

#include <cstdlib>

namespace {

template <typename Function>
bool find(HMODULE module, const char* name, Function* function, std::string* error) {
    FARPROC address = GetProcAddress(module, name);
    if (!address) {
        *error = std::string("the plug-in does not export ") + name;
        return false;
    }
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    return true;
}

} // namespace

bool load_plugin(const std::string& path, PluginModule* plugin, std::string* error) {
    plugin->module = LoadLibraryA(path.c_str());
    if (!plugin->module) {
        *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    HMODULE m = plugin->module;
    if (find(m, "MQCheckVersion", &plugin->check_version, error) &&
        find(m, "MQGetPlugInID", &plugin->get_id, error) &&
        find(m, "MQGetPlugInName", &plugin->get_name, error) &&
        find(m, "MQGetPlugInType", &plugin->get_type, error) &&
        find(m, "MQEnumString", &plugin->enum_string, error) &&
        find(m, "MQInit", &plugin->init, error) &&
        find(m, "MQModifyObject", &plugin->modify_object, error))
        return true;
    unload_plugin(plugin);
    return false;
}

void unload_plugin(PluginModule* plugin) {
    if (plugin->module) FreeLibrary(plugin->module);
    *plugin = PluginModule();
}

std::string program_folder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

HostModules host_modules(const RunOptions& options) {
    const std::string folder = program_folder();
    return {options.plugin.empty() ? folder + "quorvel_clone.dll" : options.plugin,
            options.host.empty() ? folder + "standin_host.dll" : options.host,
            static_cast<unsigned>(std::strtoul(options.host_version.c_str(), nullptr, 0))};
}
