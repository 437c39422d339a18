#pragma once
// An output written beside its destination without a name and put in place only once it is
// whole: linked in where nothing is (a file that appeared there meanwhile is kept), or renamed
// over the file it replaces. Until then the destination is untouched, and a process killed
// meanwhile leaves nothing behind. Where the file system cannot make unnamed files, the new
// version is a "BRC…" file in the same folder until then, removed when it is not committed.
#include <string>

#include "engine/PendingOutput.h"
#include "system/UniqueFd.h"

class StagedOutput {
public:
    explicit StagedOutput(const std::string& destination, const char* prefix = "BRC");
    // Takes up an output written elsewhere and held back (see Hold).
    StagedOutput(const std::string& destination, PendingOutput pending);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // The path the new version is written to (for an unnamed file, its /proc/self/fd link).
    const std::string& Path() const { return path_; }
    // A read-write descriptor of the new version, or -1 when none could be made.
    int Fd() const { return file_.Get(); }
    // The named file that would be left behind should this process die; empty when unnamed.
    const std::string& LeftBehind() const { return named_; }

    enum class LinkResult { Linked, Taken, Failed };
    // Puts the new version at the destination without replacing anything: Taken when something
    // is there by now, which is then kept as it is.
    LinkResult LinkIn();
    // Makes the new version durable, gives it the permissions of the regular file it replaces and
    // renames it over the destination; false on failure, the destination then being untouched.
    bool Replace();
    // Hands the new version over, unnamed still, to be put in place later; this one then leaves
    // nothing behind.
    PendingOutput Hold();
    // The errno of what made LinkIn or Replace fail; 0 when the system gave none.
    int Error() const { return error_; }

private:
    bool OpenUnnamed(const std::string& folder);
    // Gives the unnamed file a "BRC…" name in the folder, for the rename; false when it cannot.
    bool NameUnnamed();
    // Keeps errno as the cause of the failure; always false.
    bool Refused();

    std::string destination_;
    std::string prefix_;
    std::string path_;  // what the sink opens
    std::string named_; // the named version, while there is one
    UniqueFd file_;
    bool unnamed_ = false;
    int error_ = 0;
};
