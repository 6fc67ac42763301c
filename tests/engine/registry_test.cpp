// The registry adapter: the same tests run against the in-memory registry of
// the host build and against the real one under Wine.
#include <gtest/gtest.h>

#include "engine/registry.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

using test::RegistrySandbox;
using RegistryTest = RegistrySandbox;

TEST_F(RegistryTest, CreateReportsNewKeysAndOpenFindsOnlyExistingOnes) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(ProgramSubKey(u"a\\b")));
    bool created = false;
    ASSERT_TRUE(key.Create(ProgramSubKey(u"a\\b"), &created));
    EXPECT_TRUE(created);
    ASSERT_TRUE(key.Create(ProgramSubKey(u"A\\B"), &created));   // names ignore case
    EXPECT_FALSE(created);
    EXPECT_TRUE(key.Open(ProgramSubKey(u"a")));                     // the key above was created too
    key.Close();
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryTest, ValuesKeepTypeAndSizeAndTypedReadsRefuseOthers) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(ProgramSubKey(u"values")));
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(key.WriteBinary(u"bin", bytes, 5));
    ASSERT_TRUE(key.WriteDword(u"dword", 0x12345678));
    ASSERT_TRUE(key.WriteBinary(u"empty", nullptr, 0));

    std::vector<uint8_t> read;
    uint32_t type = 0;
    ASSERT_TRUE(key.QueryValue(u"BIN", type, read, 100));
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(read, std::vector<uint8_t>(bytes, bytes + 5));
    EXPECT_FALSE(key.QueryValue(u"bin", type, read, 4));   // larger than allowed
    ASSERT_TRUE(key.ReadBinary(u"empty", read, 10));
    EXPECT_TRUE(read.empty());

    uint32_t value = 0;
    ASSERT_TRUE(key.ReadDword(u"dword", value));
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_FALSE(key.ReadDword(u"bin", value));
    EXPECT_FALSE(key.ReadBinary(u"dword", read, 100));
    uint8_t four[4] = {};
    EXPECT_FALSE(key.ReadBinaryExact(u"bin", four, 4));
    EXPECT_EQ(four[0], 0);
    EXPECT_FALSE(key.ReadDword(u"missing", value));
    EXPECT_TRUE(key.HasValue(u"bin"));
    EXPECT_FALSE(key.HasValue(u"missing"));

    std::vector<std::u16string> names;
    ASSERT_TRUE(key.ListValues(names));
    EXPECT_EQ(names.size(), 3u);
    EXPECT_TRUE(key.DeleteValue(u"bin"));
    EXPECT_FALSE(key.HasValue(u"bin"));
}

TEST_F(RegistryTest, DeletingAKeyNeedsItEmptyUnlessTheTreeGoes) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(ProgramSubKey(u"top\\child")));
    ASSERT_TRUE(key.WriteDword(u"v", 1));
    CRegistryKey top;
    ASSERT_TRUE(top.Open(ProgramSubKey(u"top")));
    std::vector<std::u16string> names;
    ASSERT_TRUE(top.ListSubKeys(names));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], u"child");
    top.Close();

    EXPECT_FALSE(DeleteRegistryKey(ProgramSubKey(u"top")));
    EXPECT_TRUE(DeleteRegistryTree(ProgramSubKey(u"top")));
    EXPECT_FALSE(top.Open(ProgramSubKey(u"top\\child")));
    // A handle to a deleted key reads and writes nothing.
    uint32_t value = 0;
    EXPECT_FALSE(key.ReadDword(u"v", value));
    EXPECT_FALSE(key.WriteDword(u"v", 2));
    EXPECT_FALSE(DeleteRegistryKey(ProgramSubKey(u"top")));
}

TEST_F(RegistryTest, TheRootMovesForTestsAndComesBack) {
    EXPECT_EQ(ProgramKeyPath(), root);
    SetProgramKeyPath(u"");
    EXPECT_EQ(ProgramKeyPath(), std::u16string(kDefaultProgramKeyPath));
    SetProgramKeyPath(root);
    EXPECT_EQ(ProgramSubKey(u"prefs"), root + u"\\prefs");
}

TEST(Utf8ToUtf16, ConvertsAndReplacesBrokenSequences) {
    EXPECT_EQ(Utf8ToUtf16("Klondike"), u"Klondike");
    EXPECT_EQ(Utf8ToUtf16("\xC3\x86r\xC3\xB8"), u"\u00C6r\u00F8");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x82\xA1"), u"\U0001F0A1");
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");            // cut at the end
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");     // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");       // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("abcdef", 3), u"abc");
    EXPECT_EQ(Utf16ToUtf8(u"\u00C6r\U0001F0A1"), "\xC3\x86r\xF0\x9F\x82\xA1");
}

}  // namespace
}  // namespace corvelle
