// Resource lookup in the executable's own resource section.
#include <windows.h>

#include "engine/resources.h"

namespace corvelle {

const uint8_t* LoadAppResource(uint16_t id, const wchar_t* typeName, uint32_t* size) {
    if (size)
        *size = 0;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), typeName);
    if (!info)
        return nullptr;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle)
        return nullptr;
    const void* data = LockResource(handle);
    if (data && size)
        *size = SizeofResource(module, info);
    return static_cast<const uint8_t*>(data);
}

}  // namespace corvelle
