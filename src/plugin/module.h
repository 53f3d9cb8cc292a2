// Module-wide values of the plug-in module itself.
#pragma once

// The module's own instance handle (an HINSTANCE), recorded by the module entry; the dialog
// template is loaded from it.
extern void* module_instance;
