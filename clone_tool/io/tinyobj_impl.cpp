// The one translation unit that compiles tinyobjloader, for the native and the Windows builds.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
