#include "support/registry_sandbox.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "engine/registry.h"

namespace corvelle::test {

void RegistrySandbox::SetUp() {
#ifdef _WIN32
    const unsigned long pid = static_cast<unsigned long>(_getpid());
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    static unsigned counter = 0;
    const std::string name = std::to_string(pid) + "-" + std::to_string(++counter);
    root = u"SOFTWARE\\Velmora Software\\Corvelle Tests\\" + std::u16string(name.begin(), name.end());
    DeleteRegistryTree(root);   // a leftover of an earlier run with the same pid
    SetProgramKeyPath(root);
}

void RegistrySandbox::TearDown() {
    DeleteRegistryTree(root);
    SetProgramKeyPath(u"");
}

}  // namespace corvelle::test
