#pragma once
// Where the program's own files are.
#include <string>

// The running executable's full path; "" when it cannot be found.
std::string ExecutablePath();
// The folder of the running executable, with a trailing '/'; "" when it cannot be found.
// Read-only data that ships with the program (help pages, codec modules) lives there.
std::string AppFolder();
// The user's home folder: $HOME when it holds an absolute path, else the password database's
// entry; "" when neither gives one. Without a trailing '/'.
std::string HomeFolder();
// The per-user configuration folder, $XDG_CONFIG_HOME/brindlex/ (else ~/.config/brindlex/), with
// a trailing '/'. It is created when missing; "" when no home folder can be found.
std::string ConfigFolder();
// ConfigFolder() + "WaveCompress.bin", the stored WAVE output format; "" without a folder.
std::string WaveCompressPath();
// This user's private folder for the objects that processes of the program share:
// $XDG_RUNTIME_DIR/brindlex/ (else /tmp/brindlex-<uid>/), with a trailing '/'. It is created with
// mode 0700; an existing one that is not a folder of this user with exactly that mode is refused
// ("" and the reason in *problem), since another user could then read or forge what we exchange.
// A refused /tmp/brindlex-<uid> (another user may have made it) gives way to
// $XDG_CACHE_HOME/brindlex/runtime/ (else ~/.cache/brindlex/runtime/), which is said once on
// standard error.
std::string RuntimeFolder(std::string* problem = nullptr);
