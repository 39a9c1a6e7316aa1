#include "lang/TranslationTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "LangTestSupport.h"

namespace orx {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// A file image with the given header counts, entries and pool, consistent or not.
std::vector<uint8_t> Image(uint32_t entryCount, uint32_t poolSize,
                           const std::vector<TranslationEntry>& entries, const std::string& pool,
                           const char* magic = "LANG") {
    std::vector<uint8_t> bytes(128, 0);
    std::memcpy(bytes.data(), magic, 4);
    PutLe32(bytes, 4, entryCount);
    PutLe32(bytes, 8, poolSize);
    for (const TranslationEntry& entry : entries) {
        bytes.resize(bytes.size() + 8);
        PutLe32(bytes, bytes.size() - 8, entry.key);
        PutLe32(bytes, bytes.size() - 4, entry.textOffset);
    }
    bytes.insert(bytes.end(), pool.begin(), pool.end());
    return bytes;
}

TEST(TranslationTableFormat, OneLetterTranslationIsTheDocumented138Bytes) {
    TranslationTable table;
    table.Assign({{StringKey(3000), "X"}});

    std::vector<uint8_t> expected(128, 0);
    const uint8_t head[] = {'L', 'A', 'N', 'G', 1, 0, 0, 0, 2, 0, 0, 0};
    std::memcpy(expected.data(), head, sizeof head);
    const uint8_t tail[] = {0xB8, 0x0B, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 'X', 0x00};
    expected.insert(expected.end(), std::begin(tail), std::end(tail));
    ASSERT_EQ(expected.size(), 138u);
    EXPECT_EQ(table.Serialize(), expected);

    TempFolder folder;
    ASSERT_EQ(table.Save(folder / "one.brl"), 0);
    EXPECT_EQ(ReadBytes(folder / "one.brl"), expected);

    TranslationTable loaded;
    ASSERT_EQ(loaded.Load(folder / "one.brl"), 0);
    ASSERT_NE(loaded.Find(StringKey(3000)), nullptr);
    EXPECT_STREQ(loaded.Find(StringKey(3000)), "X");
    EXPECT_EQ(loaded.Header().entryCount, 1u);
    EXPECT_EQ(loaded.Header().poolSize, 2u);
}

TEST(TranslationTableFormat, WrittenTablesKeepOrderAndReadBack) {
    TranslationTable table;
    table.Assign({{StringKey(57344), "Titel"},
                  {DialogKey(304, 1), "Gut"},
                  {DialogKey(304, 2), ""},  // untranslated: not written
                  {DialogKey(304), "Einstellungen\nzweite Zeile"}});
    ASSERT_EQ(table.Size(), 3u);
    // Texts follow one another in entry order.
    EXPECT_EQ(table.Entries()[0].textOffset, 0u);
    EXPECT_EQ(table.Entries()[1].textOffset, 6u);
    EXPECT_EQ(table.Entries()[2].textOffset, 10u);
    EXPECT_EQ(table.Header().poolSize, 10u + 27u);

    TempFolder folder;
    ASSERT_EQ(table.Save(folder / "de.brl"), 0);
    TranslationTable loaded;
    ASSERT_EQ(loaded.Load(folder / "de.brl"), 0);
    ASSERT_EQ(loaded.Size(), 3u);
    EXPECT_EQ(loaded.Entries()[0].key, StringKey(57344));
    EXPECT_EQ(loaded.Entries()[2].key, DialogKey(304));
    EXPECT_STREQ(loaded.Find(DialogKey(304, 1)), "Gut");
    EXPECT_STREQ(loaded.Find(DialogKey(304)), "Einstellungen\nzweite Zeile");
    EXPECT_EQ(loaded.Find(DialogKey(304, 2)), nullptr);
    EXPECT_EQ(loaded.Serialize(), table.Serialize());
}

TEST(TranslationTableFormat, EmptyTableWritesBareHeaderAndFindsNothing) {
    TranslationTable table;
    table.Assign({{StringKey(1), ""}});
    EXPECT_TRUE(table.Empty());
    const std::vector<uint8_t> bytes = table.Serialize();
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(std::memcmp(bytes.data(), "LANG", 4), 0);

    // Either count zero: valid, but nothing to find, whatever else the file holds.
    TranslationTable loaded;
    EXPECT_EQ(loaded.Parse(Image(0, 4, {}, "abc")), 0);
    EXPECT_TRUE(loaded.Empty());
    EXPECT_EQ(loaded.Parse(Image(1, 0, {{StringKey(1), 0}}, "")), 0);
    EXPECT_TRUE(loaded.Empty());
    EXPECT_EQ(loaded.Find(StringKey(1)), nullptr);
}

TEST(TranslationTableLookup, FindsEveryKeyWhateverItsSignAndTheFirstOfDuplicates) {
    const std::vector<TranslationKey> keys = {0xC0000BB8u, 0x00000001u, 0xFFFFFFFFu,
                                              0x7FFFFFFFu, 0x80000000u, 0x40000005u};
    std::vector<TranslationText> texts;
    for (size_t i = 0; i < keys.size(); ++i) {
        texts.push_back({keys[i], "t" + std::to_string(i)});
    }
    texts.push_back({0x80000000u, "second of a duplicate"});
    TranslationTable table;
    table.Assign(texts);
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_NE(table.Find(keys[i]), nullptr) << std::hex << keys[i];
        EXPECT_EQ(std::string(table.Find(keys[i])), "t" + std::to_string(i));
    }
    EXPECT_EQ(table.Find(0xC0000BB9u), nullptr);
    EXPECT_EQ(table.Find(0u), nullptr);

    // The same rule for a file: the first record in file order wins.
    TranslationTable loaded;
    ASSERT_EQ(loaded.Parse(Image(3, 6, {{5, 4}, {5, 0}, {5, 2}}, std::string("a\0b\0c\0", 6))), 0);
    EXPECT_STREQ(loaded.Find(5), "c");
}

TEST(TranslationTableLoad, MissingOrUnopenableFileIsCannotOpen) {
    TempFolder folder;
    TranslationTable table;
    table.Assign({{StringKey(1), "kept?"}});
    EXPECT_EQ(table.Load(folder / "absent.brl"), 0x101);
    EXPECT_TRUE(table.Empty());
    EXPECT_EQ(table.Load(folder.Path()), 0x101);  // a folder
}

TEST(TranslationTableSave, UncreatableFileIsCannotCreate) {
    TempFolder folder;
    TranslationTable table;
    table.Assign({{StringKey(1), "x"}});
    EXPECT_EQ(table.Save(folder / "no-such-folder/x.brl"), 0x102);
}

struct Malformed {
    const char* name;
    std::vector<uint8_t> bytes;
};

void PrintTo(const Malformed& file, std::ostream* out) {
    *out << file.name << " (" << file.bytes.size() << " bytes)";
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

// Operators copy language files in; none of these may be read past what was loaded.
std::vector<Malformed> MalformedFiles() {
    const std::string pool("ab\0cd\0", 6);
    const std::vector<TranslationEntry> entries = {{StringKey(1), 0}, {StringKey(2), 3}};
    const std::vector<uint8_t> good = Image(2, 6, entries, pool);
    return {
        {"WrongMagic", Image(2, 6, entries, pool, "LANX")},
        {"Empty", {}},
        {"HeaderCut", Truncated(good, good.size() - 127)},
        {"EntriesCut", Truncated(good, 6 + 5)},
        {"PoolCutByOneByte", Truncated(good, 1)},
        {"EntryCountBeyondFile", Image(0x20000000, 6, entries, pool)},
        {"EntryCountWrapsWith32Bits", Image(0xFFFFFFFF, 14, entries, pool)},
        {"PoolSizeBeyondFile", Image(2, 0xFFFFFFF0, entries, pool)},
        {"OffsetAtPoolEnd", Image(2, 6, {{StringKey(1), 0}, {StringKey(2), 6}}, pool)},
        {"OffsetFarOutside", Image(2, 6, {{StringKey(1), 0xFFFFFFF0}, {StringKey(2), 3}}, pool)},
        {"LastTextWithoutNul", Image(2, 5, entries, std::string("ab\0cd", 5))},
        {"PoolWithoutAnyNul", Image(1, 3, {{StringKey(1), 0}}, "abc")},
        {"OffsetAfterLastNul",
         Image(2, 6, {{StringKey(1), 0}, {StringKey(2), 5}}, std::string("ab\0cdX", 6))},
    };
}

class TranslationTableMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(TranslationTableMalformed, IsRefusedLikeAWrongMagicAndLeavesTheTableEmpty) {
    TranslationTable table;
    table.Assign({{StringKey(9), "previous"}});
    EXPECT_EQ(table.Parse(GetParam().bytes), 0x103);
    EXPECT_TRUE(table.Empty());
    EXPECT_EQ(table.Find(StringKey(1)), nullptr);
    EXPECT_EQ(table.Find(StringKey(9)), nullptr);

    TempFolder folder;
    WriteBytes(folder / "bad.brl", GetParam().bytes);
    table.Assign({{StringKey(9), "previous"}});
    EXPECT_EQ(table.Load(folder / "bad.brl"), 0x103);
    EXPECT_TRUE(table.Empty());
    EXPECT_EQ(table.Find(StringKey(9)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, TranslationTableMalformed, ::testing::ValuesIn(MalformedFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orx
