// The one translation unit that compiles stb's PNG writer.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
