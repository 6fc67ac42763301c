// The small part of the current user's registry that the program uses: keys
// below HKEY_CURRENT_USER named by UTF-16 paths, binary and DWORD values.
//
// On Windows this is advapi32 (engine/win/registry_win.cpp); the host build
// keeps an in-memory registry with the same behaviour (engine/native/), so
// the engine's record code runs unchanged in host tests and fuzzing.
//
// Every record of the program lives below one root key, by default
// "SOFTWARE\Velmora Software\Corvelle". Tests move it to a private key so
// that test processes running side by side never see each other's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvelle {

// Value types, numbered as the registry numbers them.
enum RegistryValueType : uint32_t {
    kRegNone = 0,
    kRegString = 1,
    kRegBinary = 3,
    kRegDword = 4,
};

// An open key; closed by Close or the destructor.
class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens an existing key (RegOpenKeyExW, KEY_ALL_ACCESS).
    bool Open(const std::u16string& path);
    // Creates or opens a key and every missing key above it (RegCreateKeyExW,
    // KEY_ALL_ACCESS). `created` (optional) tells whether the key was new.
    bool Create(const std::u16string& path, bool* created = nullptr);
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    // Reads a value of any type up to `maxSize` bytes. False when the value
    // is missing or larger than maxSize; `type` receives its type.
    bool QueryValue(const char16_t* name, uint32_t& type, std::vector<uint8_t>& data, size_t maxSize) const;
    // A REG_BINARY value of at most maxSize bytes; any other type fails.
    bool ReadBinary(const char16_t* name, std::vector<uint8_t>& data, size_t maxSize) const;
    // A REG_BINARY value of exactly `size` bytes into `out`; anything else
    // fails and leaves `out` unchanged.
    bool ReadBinaryExact(const char16_t* name, void* out, size_t size) const;
    // A REG_DWORD value (4 bytes); any other type or size fails.
    bool ReadDword(const char16_t* name, uint32_t& value) const;

    // Whether a value of that name exists, whatever its type and size.
    bool HasValue(const char16_t* name) const;

    bool WriteBinary(const char16_t* name, const void* data, size_t size);
    bool WriteDword(const char16_t* name, uint32_t value);
    // Any bytes under any type (the preferences store one-byte values typed
    // REG_DWORD and texts typed REG_NONE).
    bool WriteValue(const char16_t* name, uint32_t type, const void* data, size_t size);
    bool DeleteValue(const char16_t* name);

    // Names of the direct sub-keys and of the values, in the registry's order.
    bool ListSubKeys(std::vector<std::u16string>& names) const;
    bool ListValues(std::vector<std::u16string>& names) const;

private:
    void* handle = nullptr;
};

// Deletes a key that has no sub-keys (RegDeleteKeyW).
bool DeleteRegistryKey(const std::u16string& path);
// Deletes a key with everything below it.
bool DeleteRegistryTree(const std::u16string& path);

// The program's root key and keys below it.
const std::u16string& ProgramKeyPath();
std::u16string ProgramSubKey(const std::u16string& relative);   // root + "\" + relative
// Moves the root (tests, tools); an empty path restores the default.
void SetProgramKeyPath(const std::u16string& path);
extern const char16_t kDefaultProgramKeyPath[];

#ifndef _WIN32
// Host build only, for tests of what a process killed between two writes
// leaves behind: after `writes` more value writes or deletions every
// further one fails and changes nothing; a negative count lifts the limit.
void SetRegistryWriteLimit(int writes);
#endif

// UTF-8 to UTF-16, invalid sequences giving U+FFFD each (as the system's
// conversion of code page 65001 does); stops at the first 0 byte or after
// `length` bytes.
std::u16string Utf8ToUtf16(const char* text, size_t length = static_cast<size_t>(-1));
// UTF-16 to UTF-8 for printing; unpaired surrogates give U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace corvelle
