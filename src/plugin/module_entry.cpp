// The module entry: the platform calls it at load and unload and whenever a thread of the host's
// process starts or ends.
#include <windows.h>

#include "clone/clone_settings.h"
#include "dialog/module_instance.h"

void* module_instance;

extern "C" BOOL WINAPI apply_default_settings(HINSTANCE instance, DWORD reason, LPVOID) {
    module_instance = instance;
    // Defaults only at load: resetting at every thread start or end would throw away what the
    // user typed, even with the dialog open, and would write the settings from a foreign thread.
    if (reason == DLL_PROCESS_ATTACH) apply_default_float_settings(&clone_settings);
    return TRUE;
}

// The runtime's start-up code calls DllMain once it has initialised itself.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return apply_default_settings(instance, reason, reserved);
}
