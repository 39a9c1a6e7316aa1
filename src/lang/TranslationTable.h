#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lang/TranslationKey.h"

namespace orx {

// One record of a language file: a key and the byte offset of its text in the text pool.
struct TranslationEntry {
    TranslationKey key = 0;
    uint32_t textOffset = 0;
};

// A key with its text, the input from which a table is built.
struct TranslationText {
    TranslationKey key = 0;
    std::string text;
};

// The 128-byte header of a language file (integers little-endian on disk).
struct TranslationHeader {
    std::array<char, 4> magic{};
    uint32_t entryCount = 0;
    uint32_t poolSize = 0;
    std::array<uint8_t, 116> reserved{};
};

// The translations of one language file (or of the master file) in memory.
//
// File layout: header, entryCount records of 8 bytes (key, textOffset), then a pool of poolSize
// bytes of NUL-terminated texts. Texts are bytes in the file's encoding (UTF-8 or one Windows
// code page, docs/language-files.md); LanguageManager converts them to UTF-8 when it loads a
// file and back when it saves one. A line break is one LF; a tab is stored as the two characters
// backslash and "t".
//
// Language files come from a folder operators copy files into, so Load trusts nothing: a file
// that is shorter than its header declares, whose text offsets leave the pool or whose texts run
// off its end without a NUL is refused like one with a wrong magic (0x103). Memory allocated for
// a file is bounded by the file's length. When a file holds one key several times, Find gives
// the text of the first of them in file order.
//
// Invariant: the header's counts equal the sizes of the entry array and the pool; every entry's
// text is NUL-terminated inside the pool.
class TranslationTable {
public:
    static constexpr size_t kHeaderSize = 128;
    static constexpr size_t kEntrySize = 8;

    // Result codes, shared with the program's other file formats.
    static constexpr int kOk = 0;
    static constexpr int kCannotOpen = 0x101;
    static constexpr int kCannotCreate = 0x102;
    static constexpr int kBadFormat = 0x103;

    void Clear();
    // 0, kCannotOpen or kBadFormat. On failure the table is empty.
    int Load(const std::string& path);
    // The same checks for a file image already in memory.
    int Parse(std::span<const uint8_t> bytes);
    // 0 or kCannotCreate. The previous file survives a failed save.
    int Save(const std::string& path) const;
    // The file image Save writes: magic "LANG", zero reserved bytes, entries in stored order.
    std::vector<uint8_t> Serialize() const;

    // Replaces the table by the non-empty texts in the given order (the first text at pool
    // offset 0, each next one after the previous one's NUL) and builds the index. A text is cut
    // at an embedded NUL.
    void Assign(const std::vector<TranslationText>& texts);

    // Sorts a copy of the entries by key; Find finds nothing until it has run.
    void BuildIndex();
    // The text of the key, pointing into the pool; nullptr when the key is not in the index.
    const char* Find(TranslationKey key) const;

    const TranslationHeader& Header() const { return header_; }
    const std::vector<TranslationEntry>& Entries() const { return entries_; }
    // The text of Entries()[index].
    const char* TextAt(size_t index) const { return pool_.data() + entries_[index].textOffset; }
    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }

private:
    int Decode(std::span<const uint8_t> header, std::span<const uint8_t> body);

    TranslationHeader header_;
    std::vector<TranslationEntry> entries_;  // file order
    std::vector<TranslationEntry> index_;    // sorted by key, equal keys in file order
    std::vector<char> pool_;
};

}  // namespace orx
