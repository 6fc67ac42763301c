// Host-build stand-in for the executable's resource section: a table of
// byte blocks keyed by (id, type name), filled by the tools and the tests.
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/resources.h"

namespace corvelle {
namespace {

using Key = std::pair<uint16_t, std::wstring>;

std::map<Key, std::unique_ptr<std::vector<uint8_t>>>& Table() {
    static std::map<Key, std::unique_ptr<std::vector<uint8_t>>> table;
    return table;
}

}  // namespace

const uint8_t* LoadAppResource(uint16_t id, const wchar_t* typeName, uint32_t* size) {
    if (size)
        *size = 0;
    auto it = Table().find(Key(id, typeName));
    if (it == Table().end())
        return nullptr;
    if (size)
        *size = static_cast<uint32_t>(it->second->size());
    // An empty resource still has an address, as one in an executable would.
    static const uint8_t empty = 0;
    return it->second->empty() ? &empty : it->second->data();
}

void RegisterAppResource(uint16_t id, const wchar_t* typeName, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    // Replacing an entry would invalidate pointers already handed out, so a
    // new block is kept alive for the life of the process.
    static std::vector<std::unique_ptr<std::vector<uint8_t>>> retired;
    auto& slot = Table()[Key(id, typeName)];
    if (slot)
        retired.push_back(std::move(slot));
    slot = std::make_unique<std::vector<uint8_t>>(bytes, bytes + size);
}

void ClearAppResources() {
    Table().clear();
}

int LoadResourceDirectory(const char* folder) {
    DIR* dir = opendir(folder);
    if (!dir)
        return 0;
    int loaded = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string fileName = entry->d_name;
        const size_t underscore = fileName.rfind('_');
        const size_t dot = fileName.rfind(".bin");
        if (underscore == std::string::npos || dot == std::string::npos || dot != fileName.size() - 4 ||
            underscore == 0 || dot <= underscore + 1)
            continue;
        const std::string type = fileName.substr(0, underscore);
        const std::string digits = fileName.substr(underscore + 1, dot - underscore - 1);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 5)
            continue;
        const unsigned long id = std::strtoul(digits.c_str(), nullptr, 10);
        if (id > 0xFFFF)
            continue;
        const std::string path = std::string(folder) + "/" + fileName;
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            continue;
        std::vector<uint8_t> bytes;
        uint8_t chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
        const std::wstring wideType(type.begin(), type.end());
        RegisterAppResource(static_cast<uint16_t>(id), wideType.c_str(), bytes.data(), bytes.size());
        ++loaded;
    }
    closedir(dir);
    return loaded;
}

}  // namespace corvelle
