// The font rasteriser's implementation, compiled once and without our
// warning flags (third-party code).
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
