// The platform-independent half of the registry access: the program's root
// key, the typed reads built on QueryValue, and text conversion.
#include "engine/registry.h"

#include <cstring>

#include "engine/byte_order.h"

namespace corvelle {

const char16_t kDefaultProgramKeyPath[] = u"SOFTWARE\\Velmora Software\\Corvelle";

namespace {

std::u16string& RootPath() {
    static std::u16string root = kDefaultProgramKeyPath;
    return root;
}

}  // namespace

const std::u16string& ProgramKeyPath() {
    return RootPath();
}

std::u16string ProgramSubKey(const std::u16string& relative) {
    return RootPath() + u"\\" + relative;
}

void SetProgramKeyPath(const std::u16string& path) {
    RootPath() = path.empty() ? std::u16string(kDefaultProgramKeyPath) : path;
}

bool CRegistryKey::ReadBinary(const char16_t* name, std::vector<uint8_t>& data, size_t maxSize) const {
    uint32_t type = kRegNone;
    std::vector<uint8_t> bytes;
    if (!QueryValue(name, type, bytes, maxSize) || type != kRegBinary)
        return false;
    data.swap(bytes);
    return true;
}

bool CRegistryKey::ReadBinaryExact(const char16_t* name, void* out, size_t size) const {
    std::vector<uint8_t> bytes;
    if (!ReadBinary(name, bytes, size) || bytes.size() != size)
        return false;
    if (size)
        std::memcpy(out, bytes.data(), size);
    return true;
}

bool CRegistryKey::ReadDword(const char16_t* name, uint32_t& value) const {
    uint32_t type = kRegNone;
    std::vector<uint8_t> bytes;
    if (!QueryValue(name, type, bytes, 4) || type != kRegDword || bytes.size() != 4)
        return false;
    value = LoadLE<uint32_t>(bytes.data());
    return true;
}

bool CRegistryKey::WriteDword(const char16_t* name, uint32_t value) {
    uint8_t bytes[4];
    StoreLE(bytes, value);
    return WriteValue(name, kRegDword, bytes, 4);
}

bool CRegistryKey::WriteBinary(const char16_t* name, const void* data, size_t size) {
    return WriteValue(name, kRegBinary, data, size);
}

std::u16string Utf8ToUtf16(const char* text, size_t length) {
    std::u16string out;
    if (!text)
        return out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    const auto at = [&](size_t k) -> unsigned { return k < length ? s[k] : 0u; };
    while (i < length && s[i] != 0) {
        const unsigned b0 = s[i];
        if (b0 < 0x80) {
            out.push_back(static_cast<char16_t>(b0));
            ++i;
            continue;
        }
        int extra;
        uint32_t cp, min;
        if (b0 >= 0xC2 && b0 <= 0xDF) { extra = 1; cp = b0 & 0x1F; min = 0x80; }
        else if (b0 >= 0xE0 && b0 <= 0xEF) { extra = 2; cp = b0 & 0x0F; min = 0x800; }
        else if (b0 >= 0xF0 && b0 <= 0xF4) { extra = 3; cp = b0 & 0x07; min = 0x10000; }
        else { out.push_back(u'\xFFFD'); ++i; continue; }
        int got = 0;
        while (got < extra && (at(i + 1 + got) & 0xC0) == 0x80) {
            cp = cp << 6 | (at(i + 1 + got) & 0x3F);
            ++got;
        }
        if (got < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // A broken sequence: one replacement for the lead and the
            // continuation bytes that belonged to it.
            out.push_back(u'\xFFFD');
            i += 1 + static_cast<size_t>(got);
            continue;
        }
        i += 1 + static_cast<size_t>(extra);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | cp >> 18));
            out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace corvelle
