#pragma once
// Small file-system routines shared by the worker, the forms and the store. Failures show only in
// the results; none of them reports to the user.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// True when an entry named GetFileNamePart(path) exists in GetFolderPart(path) (the current folder
// when path has no separator). Wildcards in the name match any fitting entry; folders count;
// "." and ".." never do; a path ending in a separator names nothing. isFolder (optional) tells
// whether the entry found is a folder.
bool FileExists(std::string_view path, bool* isFolder = nullptr);

// The size of an open file, 64-bit. 0 with failed = true when it cannot be read.
uint64_t GetFileSizeOfHandle(int fd, bool* failed = nullptr);
// The size of the file at path without opening it for data. 0 with failed = true when there is no
// such file or it is a folder.
uint64_t GetFileSizeOfName(std::string_view path, bool* failed = nullptr);

// Creates every missing folder along path (absolute or relative). True when path is a folder
// afterwards.
bool CreateFolderPath(std::string_view path);

// Where run-time modules are looked for, in order: the application's codec folder, then the
// system library folders. The current folder is deliberately not searched.
std::vector<std::string> SystemFileFolders();
// The full path of name in the first of SystemFileFolders() that holds it, or "".
std::string FindSystemFilePath(std::string_view name);
// True when FindSystemFilePath finds name.
bool FindSystemFile(std::string_view name);
