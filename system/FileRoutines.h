#pragma once
// Small file-system routines shared by the worker, the forms and the store. Failures show only in
// the results; none of them reports to the user.
#include <cstdint>
#include <string>
#include <string_view>

#include "system/UniqueFd.h"

// True when something exists at path, decided by the path itself (lstat): files, folders and
// links (dangling ones too) count; so does a path that cannot be looked at (no permission), which
// is never taken as free. A name with wildcards that names nothing itself matches any fitting
// entry of its folder (the current folder when path has no separator). "." and ".." never count;
// a path ending in a separator names nothing. isFolder (optional) tells whether the entry is a
// folder or a link to one.
bool FileExists(std::string_view path, bool* isFolder = nullptr);
// True when the exact path names an entry (lstat; no wildcards): a file, folder or link, dangling
// or not, or an entry that cannot be looked at.
bool EntryExists(const std::string& path);

// Opens an input for reading; only a regular file opens. The open itself never waits (a FIFO
// without a writer, a device), so a job cannot hang on such a name. Invalid on any failure.
UniqueFd OpenRegularFile(std::string_view path);

// The size of an open file, 64-bit. 0 with failed = true when it cannot be read.
uint64_t GetFileSizeOfHandle(int fd, bool* failed = nullptr);
// The size of the file at path without opening it for data. 0 with failed = true when there is no
// such file or it is a folder.
uint64_t GetFileSizeOfName(std::string_view path, bool* failed = nullptr);

// Creates every missing folder along path (absolute or relative). True when path is a folder
// afterwards.
bool CreateFolderPath(std::string_view path);
