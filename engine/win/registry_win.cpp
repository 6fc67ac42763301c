// Registry access over advapi32, below HKEY_CURRENT_USER.
#include <windows.h>

#include "engine/registry.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

namespace corvelle {
namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
const wchar_t* Wide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
HKEY Key(void* handle) { return static_cast<HKEY>(handle); }

}  // namespace

bool CRegistryKey::Open(const std::u16string& path) {
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    handle = key;
    return true;
}

bool CRegistryKey::Create(const std::u16string& path, bool* created) {
    Close();
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    handle = key;
    if (created)
        *created = disposition == REG_CREATED_NEW_KEY;
    return true;
}

void CRegistryKey::Close() {
    if (handle)
        RegCloseKey(Key(handle));
    handle = nullptr;
}

bool CRegistryKey::QueryValue(const char16_t* name, uint32_t& type, std::vector<uint8_t>& data,
                              size_t maxSize) const {
    if (!handle)
        return false;
    DWORD valueType = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(Key(handle), Wide(name), nullptr, &valueType, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (size > maxSize)
        return false;
    std::vector<uint8_t> bytes(size ? size : 1);
    DWORD got = size;
    if (RegQueryValueExW(Key(handle), Wide(name), nullptr, &valueType, bytes.data(), &got) != ERROR_SUCCESS ||
        got != size)
        return false;   // changed between the two calls
    bytes.resize(got);
    type = valueType;
    data.swap(bytes);
    return true;
}

bool CRegistryKey::HasValue(const char16_t* name) const {
    return handle && RegQueryValueExW(Key(handle), Wide(name), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistryKey::WriteValue(const char16_t* name, uint32_t type, const void* data, size_t size) {
    if (!handle || size > 0xFFFFFFFFu)
        return false;
    return RegSetValueExW(Key(handle), Wide(name), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool CRegistryKey::DeleteValue(const char16_t* name) {
    return handle && RegDeleteValueW(Key(handle), Wide(name)) == ERROR_SUCCESS;
}

namespace {

// Collects the names that `enumerate`(index, buffer, length) gives for
// index 0, 1, ... until the registry reports no more items.
template <typename Enumerate>
bool ListNames(std::vector<std::u16string>& names, DWORD room, Enumerate enumerate) {
    std::vector<wchar_t> buffer(room);
    for (DWORD i = 0;; ++i) {
        DWORD length = room;
        const LONG result = enumerate(i, buffer.data(), &length);
        if (result == ERROR_NO_MORE_ITEMS)
            return true;
        if (result != ERROR_SUCCESS)
            return false;
        names.emplace_back(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
}

}  // namespace

bool CRegistryKey::ListSubKeys(std::vector<std::u16string>& names) const {
    names.clear();
    HKEY key = Key(handle);
    return handle && ListNames(names, 256, [key](DWORD i, wchar_t* buffer, DWORD* length) {
        return RegEnumKeyExW(key, i, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

bool CRegistryKey::ListValues(std::vector<std::u16string>& names) const {
    names.clear();
    HKEY key = Key(handle);
    return handle && ListNames(names, 16384, [key](DWORD i, wchar_t* buffer, DWORD* length) {
        return RegEnumValueW(key, i, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

bool DeleteRegistryKey(const std::u16string& path) {
    return RegDeleteKeyW(HKEY_CURRENT_USER, Wide(path)) == ERROR_SUCCESS;
}

bool DeleteRegistryTree(const std::u16string& path) {
    return RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path)) == ERROR_SUCCESS;
}

}  // namespace corvelle
