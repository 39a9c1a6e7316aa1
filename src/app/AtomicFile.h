#pragma once

#include <string>
#include <string_view>

namespace orx {

// Helpers for replacing a file as a whole: the new content goes to a temporary file in the same
// folder, which is renamed over the target only when it is complete, so a reader sees either the
// old file or the new one and a failure never leaves a truncated file.

// The file a write to path really replaces (a symbolic link is followed, so the link survives).
std::string ReplaceTarget(const std::string& path);

// True when target exists and carries no write permission: the file is read-only and must not be
// replaced behind its owner's back.
bool IsReadOnlyFile(const std::string& target);

// Creates a new, empty temporary file beside target, with the permissions of target when it
// exists. Returns its descriptor (close-on-exec) and sets tempPath; -1 on failure.
int CreateTempBeside(const std::string& target, std::string& tempPath);

// Writes all bytes; false on any failure.
bool WriteAll(int fd, const void* data, size_t size);

// Replaces the file at path with content; false (and the old file untouched) on any failure.
bool WriteFileReplacing(const std::string& path, std::string_view content);

}  // namespace orx
