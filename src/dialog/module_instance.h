// The module the dialog template is loaded from.
#pragma once

// The plug-in module's own instance handle (an HINSTANCE). Defined by whoever links the dialog:
// the module entry records it in the DLL, a test or tool names its own program.
extern void* module_instance;
