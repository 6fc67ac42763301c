// Host-build stand-in for the current user's registry: a tree of keys held
// in memory for the life of the process. It follows the behaviour the
// program relies on: key names compare without regard to ASCII case,
// creating a key creates the keys above it, a key with sub-keys cannot be
// deleted by DeleteRegistryKey, and an open handle to a deleted key fails
// every access.
#include <map>
#include <memory>
#include <mutex>

#include "engine/registry.h"

namespace corvelle {
namespace {

struct Value {
    std::u16string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> bytes;
};

struct Node {
    std::map<std::u16string, std::pair<std::u16string, std::shared_ptr<Node>>> children;   // by folded name
    std::vector<Value> values;                                                           // creation order
    bool deleted = false;
};

std::mutex& Lock() {
    static std::mutex mutex;
    return mutex;
}

// Value writes and deletions still allowed; negative: no limit.
int writesLeft = -1;

// Takes one write from the limit; false when none is left.
bool TakeWrite() {
    if (writesLeft == 0)
        return false;
    if (writesLeft > 0)
        --writesLeft;
    return true;
}

std::shared_ptr<Node>& Root() {
    static auto root = std::make_shared<Node>();
    return root;
}

std::u16string Fold(const std::u16string& s) {
    std::u16string out = s;
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

bool Split(const std::u16string& path, std::vector<std::u16string>& parts) {
    parts.clear();
    size_t start = 0;
    while (true) {
        const size_t end = path.find(u'\\', start);
        const std::u16string part = path.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        if (part.empty() || part.size() > 255)
            return false;
        parts.push_back(part);
        if (end == std::u16string::npos)
            return true;
        start = end + 1;
    }
}

// The node at `path`, optionally creating it and the nodes above it.
std::shared_ptr<Node> Find(const std::u16string& path, bool create, bool* created) {
    std::vector<std::u16string> parts;
    if (!Split(path, parts))
        return nullptr;
    if (created)
        *created = false;
    std::shared_ptr<Node> node = Root();
    for (const auto& part : parts) {
        auto it = node->children.find(Fold(part));
        if (it == node->children.end()) {
            if (!create)
                return nullptr;
            auto child = std::make_shared<Node>();
            node->children[Fold(part)] = {part, child};
            node = child;
            if (created)
                *created = true;
        } else {
            node = it->second.second;
        }
    }
    return node;
}

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& child : node.children)
        MarkDeleted(*child.second.second);
}

bool Delete(const std::u16string& path, bool tree) {
    std::vector<std::u16string> parts;
    if (!Split(path, parts))
        return false;
    std::shared_ptr<Node> parent = Root();
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = parent->children.find(Fold(parts[i]));
        if (it == parent->children.end())
            return false;
        parent = it->second.second;
    }
    auto it = parent->children.find(Fold(parts.back()));
    if (it == parent->children.end() || (!tree && !it->second.second->children.empty()))
        return false;
    MarkDeleted(*it->second.second);
    parent->children.erase(it);
    return true;
}

using Handle = std::shared_ptr<Node>;
Node* Live(void* handle) {
    if (!handle)
        return nullptr;
    Node* node = static_cast<Handle*>(handle)->get();
    return node->deleted ? nullptr : node;
}

Value* FindValue(Node& node, const char16_t* name) {
    const std::u16string folded = Fold(name ? name : u"");
    for (auto& value : node.values)
        if (Fold(value.name) == folded)
            return &value;
    return nullptr;
}

// A new handle to the node at `path` (see Find), or nullptr.
void* NewHandle(const std::u16string& path, bool create, bool* created) {
    std::lock_guard<std::mutex> guard(Lock());
    Handle node = Find(path, create, created);
    return node ? new Handle(node) : nullptr;
}

}  // namespace

bool CRegistryKey::Open(const std::u16string& path) {
    Close();
    handle = NewHandle(path, false, nullptr);
    return handle != nullptr;
}

bool CRegistryKey::Create(const std::u16string& path, bool* created) {
    Close();
    handle = NewHandle(path, true, created);
    return handle != nullptr;
}

void CRegistryKey::Close() {
    delete static_cast<Handle*>(handle);
    handle = nullptr;
}

bool CRegistryKey::QueryValue(const char16_t* name, uint32_t& type, std::vector<uint8_t>& data,
                              size_t maxSize) const {
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    const Value* value = node ? FindValue(*node, name) : nullptr;
    if (!value || value->bytes.size() > maxSize)
        return false;
    type = value->type;
    data = value->bytes;
    return true;
}

bool CRegistryKey::HasValue(const char16_t* name) const {
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    return node && FindValue(*node, name);
}

bool CRegistryKey::WriteValue(const char16_t* name, uint32_t type, const void* data, size_t size) {
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    if (!node || (size && !data) || !TakeWrite())
        return false;
    Value* value = FindValue(*node, name);
    if (!value) {
        node->values.push_back(Value{name ? name : u"", kRegNone, {}});
        value = &node->values.back();
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    value->type = type;
    value->bytes.assign(bytes, bytes + size);
    return true;
}

bool CRegistryKey::DeleteValue(const char16_t* name) {
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    if (!node)
        return false;
    const Value* value = FindValue(*node, name);
    if (!value || !TakeWrite())
        return false;
    node->values.erase(node->values.begin() + (value - node->values.data()));
    return true;
}

bool CRegistryKey::ListSubKeys(std::vector<std::u16string>& names) const {
    names.clear();
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    if (node)
        for (const auto& child : node->children)
            names.push_back(child.second.first);
    return node != nullptr;
}

bool CRegistryKey::ListValues(std::vector<std::u16string>& names) const {
    names.clear();
    std::lock_guard<std::mutex> guard(Lock());
    Node* node = Live(handle);
    if (node)
        for (const auto& value : node->values)
            names.push_back(value.name);
    return node != nullptr;
}

void SetRegistryWriteLimit(int writes) {
    std::lock_guard<std::mutex> guard(Lock());
    writesLeft = writes;
}

bool DeleteRegistryKey(const std::u16string& path) {
    std::lock_guard<std::mutex> guard(Lock());
    return Delete(path, false);
}

bool DeleteRegistryTree(const std::u16string& path) {
    std::lock_guard<std::mutex> guard(Lock());
    return Delete(path, true);
}

}  // namespace corvelle
