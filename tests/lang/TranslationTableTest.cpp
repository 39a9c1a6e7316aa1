#include "lang/TranslationTable.h"

#include <gtest/gtest.h>

#include "LangTestSupport.h"

namespace orx {
namespace {

// A file image: the two header counts, (key, offset) words, the pool; consistent or not.
std::vector<uint8_t> Image(const std::vector<uint32_t>& words, const std::string& pool,
                           const char* magic = "LANG") {
    std::vector<uint8_t> bytes(magic, magic + 4);
    for (const uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    bytes.insert(bytes.begin() + 12, TranslationTable::kHeaderSize - 12, 0);
    bytes.insert(bytes.end(), pool.begin(), pool.end());
    return bytes;
}

TEST(TranslationTableTest, WritesTheDocumented138BytesReadsBackAndFindsTheFirstOfAKey) {
    TranslationTable table;
    table.Assign({{StringKey(3000), "X"}});
    test::TempFolder folder;
    ASSERT_EQ(table.Save(folder / "one.brl"), 0);
    EXPECT_EQ(test::ReadBytes(folder / "one.brl"), Image({1, 2, 0xC0000BB8u, 0}, {"X", 2}));

    // Empty (untranslated) texts are not written; keys of either sign are found.
    const std::vector<TranslationText> texts = {
        {0xC0000BB8u, "a\nb"}, {1, ""}, {0x7FFFFFFF, "c"}, {0xFFFFFFFFu, "d"}, {2, "e"}};
    table.Assign(texts);
    ASSERT_EQ(table.Save(folder / "de.brl"), 0);
    TranslationTable loaded;
    ASSERT_EQ(loaded.Load(folder / "de.brl"), 0);
    EXPECT_EQ(loaded.Serialize(), table.Serialize());
    for (const TranslationText& text : texts)
        EXPECT_STREQ(loaded.Find(text.key), text.text.empty() ? nullptr : text.text.c_str());
    EXPECT_EQ(loaded.Load(folder / "absent.brl"), 0x101);
    EXPECT_TRUE(loaded.Empty());
    EXPECT_EQ(loaded.Load(folder.Path()), 0x101);  // a folder
    EXPECT_EQ(table.Save(folder / "no-such-folder/x.brl"), 0x102);
    // Of records sharing a key the first in file order wins.
    test::WriteBytes(folder / "dup.brl", Image({3, 6, 5, 4, 5, 0, 5, 2}, {"a\0b\0c\0", 6}));
    ASSERT_EQ(loaded.Load(folder / "dup.brl"), 0);
    EXPECT_STREQ(loaded.Find(5), "c");
}

// Operators copy language files in: none of these may be read past what was loaded.
TEST(TranslationTableTest, MalformedFilesAreRefusedAsBadFormatAndLeaveTheTableEmpty) {
    const std::string pool("ab\0cd\0", 6);
    const std::vector<uint8_t> good = Image({2, 6, 1, 0, 2, 3}, pool);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> files = {
        {"wrong magic", Image({2, 6, 1, 0, 2, 3}, pool, "LANX")},
        {"empty", {}},
        {"header cut", {good.begin(), good.begin() + 127}},
        {"entries cut", {good.begin(), good.end() - 11}},
        {"pool cut by one byte", {good.begin(), good.end() - 1}},
        {"entry count beyond file", Image({0x20000000, 6, 1, 0, 2, 3}, pool)},
        {"entry count wraps with 32 bits", Image({0xFFFFFFFF, 14, 1, 0, 2, 3}, pool)},
        {"pool size beyond file", Image({2, 0xFFFFFFF0, 1, 0, 2, 3}, pool)},
        {"offset at pool end", Image({2, 6, 1, 0, 2, 6}, pool)},
        {"offset far outside", Image({2, 6, 1, 0xFFFFFFF0, 2, 3}, pool)},
        {"last text without NUL", Image({2, 5, 1, 0, 2, 3}, {"ab\0cd", 5})},
        {"pool without any NUL", Image({1, 3, 1, 0}, "abc")},
        {"offset after last NUL", Image({2, 6, 1, 0, 2, 5}, {"ab\0cdX", 6})},
    };
    test::TempFolder folder;
    for (const auto& [name, bytes] : files) {
        TranslationTable table;
        table.Assign({{1, "previous"}});
        test::WriteBytes(folder / "x.brl", bytes);
        EXPECT_EQ(table.Load(folder / "x.brl"), 0x103) << name;
        EXPECT_TRUE(table.Empty()) << name;
    }
}

}  // namespace
}  // namespace orx
