#include "app/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <vector>

#include "app/AsciiCase.h"
#include "app/AtomicFile.h"

namespace orx {
namespace {

std::string& IniPathStorage() {
    static std::string path;
    return path;
}

// A write that waits for the end of the batch it was made in.
struct PendingWrite {
    std::string section;
    std::string key;
    std::string text;
};

struct BatchState {
    int depth = 0;
    std::vector<PendingWrite> writes;
};

BatchState& Batch() {
    static BatchState batch;
    return batch;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One line of the file as the store sees it. Lines keep their original text so that a rewrite
// reproduces every line it does not change.
struct Line {
    enum class Kind { Other, Section, Entry };
    std::string text;  // without the line end
    Kind kind = Kind::Other;
    std::string name;   // section name or key, trimmed
    std::string value;  // entry value, trimmed, quotes kept
};

Line ParseLine(std::string text) {
    Line line;
    line.text = std::move(text);
    const std::string_view view = Trim(line.text);
    if (!view.empty() && view.front() == '[') {
        const size_t close = view.find(']');
        line.kind = Line::Kind::Section;
        line.name = Trim(view.substr(1, close == std::string_view::npos ? view.npos : close - 1));
        // Text after the closing bracket is ignored.
        return line;
    }
    const size_t eq = view.find('=');
    if (eq != std::string_view::npos) {
        line.kind = Line::Kind::Entry;
        line.name = Trim(view.substr(0, eq));
        line.value = Trim(view.substr(eq + 1));
    }
    return line;
}

// Reads the file as lines split at LF, a CR before the LF dropped. A missing final line end is
// accepted. Only a regular file is read, and the open never waits: a FIFO or device planted under
// the settings name reads as unreadable instead of hanging the program.
std::optional<std::vector<Line>> ReadLines(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string content;
    bool failed = fstat(fd, &st) != 0 || !S_ISREG(st.st_mode);
    char buffer[65536];
    while (!failed) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (failed) {
        return std::nullopt;
    }
    std::vector<Line> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        const size_t next = end == std::string::npos ? content.size() : end + 1;
        if (end == std::string::npos) {
            end = content.size();
        }
        size_t textEnd = end;
        if (textEnd > start && content[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back(ParseLine(content.substr(start, textEnd - start)));
        start = next;
    }
    return lines;
}

struct Found {
    long section = -1;  // index of the first section header with that name
    long entry = -1;    // index of the first matching key inside it
};

Found Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Found found;
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (found.section < 0) {
            if (line.kind == Line::Kind::Section && EqualsNoCase(line.name, wantedSection)) {
                found.section = static_cast<long>(i);
            }
            continue;
        }
        // Only the first section of a name counts; a later duplicate is never consulted, so a
        // read and a write always agree on which line holds a key.
        if (line.kind == Line::Kind::Section) {
            break;
        }
        if (line.kind == Line::Kind::Entry && EqualsNoCase(line.name, wantedKey)) {
            found.entry = static_cast<long>(i);
            break;
        }
    }
    return found;
}

void ApplyWrite(std::vector<Line>& lines, std::string_view section, std::string_view key,
                std::string_view text);

std::optional<std::string> Lookup(std::string_view section, std::string_view key) {
    auto lines = ReadLines(IniPath());
    if (!Batch().writes.empty()) {
        // Inside a batch a read sees the writes made so far, exactly as the file will hold them.
        if (!lines) {
            lines.emplace();
        }
        for (const PendingWrite& write : Batch().writes) {
            ApplyWrite(*lines, write.section, write.key, write.text);
        }
    }
    if (!lines) {
        return std::nullopt;
    }
    const Found found = Find(*lines, section, key);
    if (found.entry < 0) {
        return std::nullopt;
    }
    std::string_view value = (*lines)[static_cast<size_t>(found.entry)].value;
    // Only a matching pair of either kind: a lone quote is part of the value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

// Names that the file format could not read back as written are refused instead of corrupting
// the structure of the file.
bool IsStorableName(std::string_view section, std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key)) {
        return false;
    }
    if (section.find(']') != section.npos || key.find('=') != key.npos || key.front() == '[') {
        return false;
    }
    return true;
}

bool IsBlankLine(const Line& line) {
    return Trim(line.text).empty();
}

// Applies one write to the lines in memory, as the file would show it after that write alone.
void ApplyWrite(std::vector<Line>& lines, std::string_view section, std::string_view key,
                std::string_view text) {
    section = Trim(section);
    key = Trim(key);
    const Found found = Find(lines, section, key);
    if (found.entry >= 0) {
        // The key keeps the spelling it has in the file.
        Line& line = lines[static_cast<size_t>(found.entry)];
        line = ParseLine(line.name + "=" + std::string(text));
    } else if (found.section >= 0) {
        // After the section's last non-blank line, so blank lines that separate it from the next
        // section stay below the new key.
        size_t insertAt = static_cast<size_t>(found.section) + 1;
        for (size_t i = insertAt; i < lines.size() && lines[i].kind != Line::Kind::Section; ++i) {
            if (!IsBlankLine(lines[i])) {
                insertAt = i + 1;
            }
        }
        lines.insert(lines.begin() + static_cast<long>(insertAt),
                     ParseLine(std::string(key) + "=" + std::string(text)));
    } else {
        if (!lines.empty() && !IsBlankLine(lines.back())) {
            lines.push_back(ParseLine({}));
        }
        lines.push_back(ParseLine("[" + std::string(section) + "]"));
        lines.push_back(ParseLine(std::string(key) + "=" + std::string(text)));
    }
}

// Reads the file once, applies the writes in order and replaces the file once.
void RewriteWith(const PendingWrite* writes, size_t count) {
    std::vector<Line> lines;
    if (auto existing = ReadLines(IniPath())) {
        lines = std::move(*existing);
    } else if (struct stat st{}; lstat(IniPath().c_str(), &st) == 0) {
        // The file is there but cannot be read: rewriting it would lose its contents.
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        ApplyWrite(lines, writes[i].section, writes[i].key, writes[i].text);
    }
    std::string content;
    for (const Line& line : lines) {
        content += line.text;
        content += "\r\n";
    }
    WriteFileReplacing(IniPath(), content);
}

}  // namespace

void SetIniPath(std::string path) {
    IniPathStorage() = std::move(path);
}

const std::string& IniPath() {
    return IniPathStorage();
}

int32_t GetIniInt(std::string_view section, std::string_view key, int32_t defaultValue) {
    const std::optional<std::string> text = Lookup(section, key);
    // An empty value counts as no value, as for the string form with an empty default.
    if (!text || text->empty()) {
        return defaultValue;
    }
    size_t i = 0;
    bool negative = false;
    if ((*text)[i] == '+' || (*text)[i] == '-') {
        negative = (*text)[i] == '-';
        ++i;
    }
    // Accumulated in 64 bits and clamped, so any run of digits gives a defined result.
    int64_t magnitude = 0;
    for (; i < text->size() && (*text)[i] >= '0' && (*text)[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + ((*text)[i] - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1) {
            magnitude = static_cast<int64_t>(INT32_MAX) + 1;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

std::string GetIniString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
    std::optional<std::string> text = Lookup(section, key);
    if (!text) {
        return std::string(defaultValue);
    }
    return std::move(*text);
}

void WriteIniInt(std::string_view section, std::string_view key, int32_t value) {
    WriteIniString(section, key, std::to_string(value));
}

void WriteIniString(std::string_view section, std::string_view key, std::string_view text) {
    if (IniPath().empty() || !IsStorableName(section, key)) {
        return;
    }
    // A value is one line: anything after a line break would turn into lines of its own.
    text = text.substr(0, text.find_first_of("\r\n"));
    if (Batch().depth > 0) {
        Batch().writes.push_back({std::string(section), std::string(key), std::string(text)});
        return;
    }
    const PendingWrite write{std::string(section), std::string(key), std::string(text)};
    RewriteWith(&write, 1);
}

IniWriteBatch::IniWriteBatch() {
    ++Batch().depth;
}

IniWriteBatch::~IniWriteBatch() {
    BatchState& batch = Batch();
    if (--batch.depth > 0) {
        return;
    }
    std::vector<PendingWrite> writes;
    writes.swap(batch.writes);
    if (!writes.empty() && !IniPath().empty()) {
        RewriteWith(writes.data(), writes.size());
    }
}

}  // namespace orx
