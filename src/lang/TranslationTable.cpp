#include "lang/TranslationTable.h"

#include <algorithm>
#include <cstring>

#include "app/BinaryFile.h"

namespace orx {

namespace {

constexpr std::array<char, 4> kMagic{'L', 'A', 'N', 'G'};

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// Keys order as signed 32-bit integers. For the program's keys (bit 31 always set) this is the
// ascending unsigned order.
bool KeyLess(const TranslationEntry& a, const TranslationEntry& b) {
    return static_cast<int32_t>(a.key) < static_cast<int32_t>(b.key);
}

// Bytes of entries and pool the header declares; 64-bit, so no count can wrap.
uint64_t DeclaredBodySize(uint32_t entryCount, uint32_t poolSize) {
    return uint64_t{entryCount} * TranslationTable::kEntrySize + poolSize;
}

bool HasBody(uint32_t entryCount, uint32_t poolSize) {
    return entryCount != 0 && poolSize != 0;
}

}  // namespace

void TranslationTable::Clear() {
    header_ = TranslationHeader{};
    entries_ = {};
    index_ = {};
    pool_ = {};
}

int TranslationTable::Load(const std::string& path) {
    Clear();
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Read)) {
        return kCannotOpen;
    }
    try {
        std::array<uint8_t, kHeaderSize> head{};
        if (file.Read(head.data(), head.size()) != head.size()) {
            return kBadFormat;
        }
        if (std::memcmp(head.data(), kMagic.data(), kMagic.size()) != 0) {
            return kBadFormat;
        }
        const uint32_t entryCount = ReadLe32(head.data() + 4);
        const uint32_t poolSize = ReadLe32(head.data() + 8);
        std::vector<uint8_t> body;
        if (HasBody(entryCount, poolSize)) {
            // The declared sizes are checked against the file before anything is allocated.
            const uint64_t bodySize = DeclaredBodySize(entryCount, poolSize);
            if (kHeaderSize + bodySize > file.Length()) {
                return kBadFormat;
            }
            body.resize(static_cast<size_t>(bodySize));
            if (file.Read(body.data(), body.size()) != body.size()) {
                return kBadFormat;
            }
        }
        file.Close();
        return Decode(head, body);
    } catch (const FileError&) {
        Clear();
        return kCannotOpen;
    }
}

int TranslationTable::Parse(std::span<const uint8_t> bytes) {
    Clear();
    if (bytes.size() < kHeaderSize) {
        return kBadFormat;
    }
    const auto head = bytes.first(kHeaderSize);
    const auto rest = bytes.subspan(kHeaderSize);
    const uint32_t entryCount = ReadLe32(head.data() + 4);
    const uint32_t poolSize = ReadLe32(head.data() + 8);
    if (!HasBody(entryCount, poolSize)) {
        return Decode(head, {});
    }
    const uint64_t bodySize = DeclaredBodySize(entryCount, poolSize);
    if (bodySize > rest.size()) {
        return kBadFormat;
    }
    return Decode(head, rest.first(static_cast<size_t>(bodySize)));
}

// head is the 128-byte header; body is exactly the declared entries and pool (empty when the
// header declares no entries or no pool).
int TranslationTable::Decode(std::span<const uint8_t> head, std::span<const uint8_t> body) {
    Clear();
    TranslationHeader header;
    std::memcpy(header.magic.data(), head.data(), header.magic.size());
    if (header.magic != kMagic) {
        return kBadFormat;
    }
    const uint32_t entryCount = ReadLe32(head.data() + 4);
    const uint32_t poolSize = ReadLe32(head.data() + 8);
    std::memcpy(header.reserved.data(), head.data() + 12, header.reserved.size());
    if (!HasBody(entryCount, poolSize)) {
        // Either count zero: the file is valid and translates nothing.
        header_ = header;
        return kOk;
    }
    if (body.size() != DeclaredBodySize(entryCount, poolSize)) {
        return kBadFormat;
    }
    const size_t entryBytes = size_t{entryCount} * kEntrySize;
    std::vector<char> pool(body.begin() + static_cast<ptrdiff_t>(entryBytes), body.end());
    // Every text must end with a NUL inside the pool: an offset past the pool's last NUL would
    // run off its end.
    const auto lastNul = std::find(pool.rbegin(), pool.rend(), '\0');
    if (lastNul == pool.rend()) {
        return kBadFormat;
    }
    const size_t lastNulOffset = pool.size() - 1 - static_cast<size_t>(lastNul - pool.rbegin());

    std::vector<TranslationEntry> entries(entryCount);
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint8_t* record = body.data() + i * kEntrySize;
        entries[i].key = ReadLe32(record);
        entries[i].textOffset = ReadLe32(record + 4);
        if (entries[i].textOffset > lastNulOffset) {
            return kBadFormat;
        }
    }
    header_ = header;
    header_.entryCount = entryCount;
    header_.poolSize = poolSize;
    entries_ = std::move(entries);
    pool_ = std::move(pool);
    BuildIndex();
    return kOk;
}

std::vector<uint8_t> TranslationTable::Serialize() const {
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + entries_.size() * kEntrySize + pool_.size());
    out.insert(out.end(), kMagic.begin(), kMagic.end());
    AppendLe32(out, static_cast<uint32_t>(entries_.size()));
    AppendLe32(out, static_cast<uint32_t>(pool_.size()));
    out.resize(kHeaderSize, 0);
    for (const TranslationEntry& entry : entries_) {
        AppendLe32(out, entry.key);
        AppendLe32(out, entry.textOffset);
    }
    out.insert(out.end(), pool_.begin(), pool_.end());
    return out;
}

int TranslationTable::Save(const std::string& path) const {
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Write)) {
        return kCannotCreate;
    }
    try {
        const std::vector<uint8_t> bytes = Serialize();
        file.Write(bytes.data(), bytes.size());
        file.Close();
    } catch (const FileError&) {
        return kCannotCreate;
    }
    return kOk;
}

void TranslationTable::Assign(const std::vector<TranslationText>& texts) {
    Clear();
    for (const TranslationText& item : texts) {
        const size_t length = std::strlen(item.text.c_str());
        if (length == 0) {
            continue;
        }
        entries_.push_back({item.key, static_cast<uint32_t>(pool_.size())});
        pool_.insert(pool_.end(), item.text.c_str(), item.text.c_str() + length + 1);
    }
    if (entries_.empty()) {
        Clear();
        return;
    }
    header_.magic = kMagic;
    header_.entryCount = static_cast<uint32_t>(entries_.size());
    header_.poolSize = static_cast<uint32_t>(pool_.size());
    BuildIndex();
}

void TranslationTable::BuildIndex() {
    index_ = entries_;
    std::stable_sort(index_.begin(), index_.end(), KeyLess);
}

const char* TranslationTable::Find(TranslationKey key) const {
    const TranslationEntry probe{key, 0};
    const auto it = std::lower_bound(index_.begin(), index_.end(), probe, KeyLess);
    if (it == index_.end() || it->key != key) {
        return nullptr;
    }
    return pool_.data() + it->textOffset;
}

}  // namespace orx
