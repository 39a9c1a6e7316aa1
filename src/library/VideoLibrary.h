#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

// One item of the video library.
struct LibraryClip {
    int32_t absolutePath = 0;  // non-zero: fileName is a full path (reached through a shortcut)
    char fileName[260] = {};   // relative to the video folder ("\" allowed) or full; unique
    uint32_t durationMs = 0;   // whole tenths for media, the exact total for playlists
    char description[64] = {};
};

// The name and description, never read past their fields.
std::string_view ClipFileName(const LibraryClip& clip);
std::string_view ClipDescription(const LibraryClip& clip);
// Copy text into the field, cut so that a terminator always fits; the rest is zeroed.
void SetClipFileName(LibraryClip& clip, std::string_view name);
void SetClipDescription(LibraryClip& clip, std::string_view description);

// Sort modes of the library list.
inline constexpr int32_t kSortByName = 0;  // relative names first, then byte order of the name
inline constexpr int32_t kSortByDuration = 1;
inline constexpr int32_t kSortByDescription = 2;  // byte order; any other mode keeps no order

// Reads "video.dat" text: three lines per record (name, "duration,absolute", description), lines
// ending at LF with a CR before it dropped. Lines of any length are accepted; the name and
// description are cut to their fields. A record without all three lines is dropped.
class VideoDatReader {
public:
    VideoDatReader();
    ~VideoDatReader();
    void Feed(const char* data, size_t size);
    // Ends the input (a last line without a terminator still counts) and hands out the records.
    std::vector<LibraryClip> Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};
std::vector<LibraryClip> ParseVideoDat(std::string_view bytes);
// The file's bytes for the records, in order, lines ending with CR LF.
std::string FormatVideoDat(const std::vector<LibraryClip>& clips);

// The list of clips and playlists the operator can put into playlists, kept in "video.dat" in the
// program folder. Uses the video folder and "UseAVI"/"NoFileNameDur" of the process settings.
class VideoLibrary {
public:
    std::vector<LibraryClip> clips;

    // The sort mode of the whole process ("VideoList"/"SortMode" is read and written by the
    // editor).
    static int32_t SortMode();
    static void SetSortMode(int32_t mode);

    // PathInAppDir("video.dat").
    static std::string IndexPath();

    // Replaces the records with the file's; a missing or unreadable file leaves them unchanged.
    void Load();
    void Load(const std::string& path);
    // Writes beside the file and renames over it, so a failed save keeps the old index. The
    // failure is not reported to the operator; the result is for callers that care.
    bool Save() const;
    bool Save(const std::string& path) const;

    // Rebuilds the records from the video folder, keeping the descriptions of names that stay,
    // then sorts. Shows the wait cursor meanwhile.
    void Rescan(bool forceRemeasure);
    // Adds the usable files below folder (ending with a separator), recursively. A folder reached
    // twice in one call (through a folder shortcut or a symbolic-link cycle) is scanned once;
    // folders and files that cannot be read are skipped.
    void ScanFolder(const std::string& folder, bool forceRemeasure, bool absolute);
    // Adds one file, or re-measures it when present and forceRemeasure is set. A name longer than
    // the record field, a failed measurement or 0 ms leave the file out.
    void AddFile(const std::string& path, bool forceRemeasure, bool absolute);
    // Sorts by the current sort mode (not stable).
    void Sort();

private:
    struct ScanState;
    void ScanFolderOnce(const std::string& folder, bool forceRemeasure, bool absolute,
                        ScanState& state);
    void AddFileIndexed(const std::string& path, bool forceRemeasure, bool absolute,
                        ScanState* state);
};

}  // namespace orx
