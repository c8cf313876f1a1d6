// Files of the platform: whole-file reads and atomic writes, and the mapping of the system's
// backslash relative paths ("Common\\AcadISO.Lin") onto the disk.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tav {

// Reads the whole file. On failure returns false and puts a message naming the file in `error`.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Writes `bytes` atomically: a temporary file in the same folder, flushed and synced, then renamed
// over `path`. On any failure the temporary file is removed, the old file (if any) is left whole,
// and `error` says what went wrong.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// As above, with the content produced in pieces by `produce`, which calls `sink` any number of times
// and returns false to abandon the write (the old file is then left whole).
using ChunkSink = std::function<bool(std::string_view chunk)>;
bool WriteFileAtomicWith(const std::string& path, const std::function<bool(const ChunkSink& sink)>& produce,
                         std::string* error = nullptr);

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates the folder and its parents; true if it exists afterwards.
bool MakeDirectories(const std::string& path);

// "Common\\AcadISO.Lin" -> "Common/AcadISO.Lin".
std::string ToNativePath(std::string_view path);
// Joins a folder and a relative path (backslashes mapped), with exactly one '/' between them.
std::string JoinPath(std::string_view folder, std::string_view relative);
// The part after the last '/' (or backslash).
std::string FileNameOf(std::string_view path);
// The extension without the dot, or "" when there is none.
std::string ExtensionOf(std::string_view path);

}  // namespace tav
