#include "app/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/UniqueFd.h"

namespace {
std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// The file a write to path lands in: the target of a symbolic link, else path itself.
std::string WriteTarget(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return target.string();
        }
    }
    return path;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

FileText ReadFileText(const std::string& path) {
    FileText file;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            file.exists = true;
            file.problem = Reason("cannot reach", path);
        }
        return file;
    }
    file.exists = true;
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        file.notAFile = "a symbolic link to nothing";
        return file;
    }
    // The open never waits (a FIFO without a writer would); only a regular file is read.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        file.problem = Reason("cannot read", path);
        return file;
    }
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        file.notAFile = "not a regular file";
        return file;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n > 0) {
            file.text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            return file;
        } else if (errno != EINTR) {
            file.problem = Reason("cannot read", path);
            return file;
        }
    }
}

WriteResult ReplaceFileText(const std::string& path, const std::string& text, mode_t mode,
                            std::string& problem) {
    const FileText old = ReadFileText(path);
    if (!old.notAFile.empty()) {
        problem = path + " is " + old.notAFile;
        return WriteResult::Failed;
    }
    const std::string target = WriteTarget(path);
    struct stat st {};
    if (old.exists && old.problem.empty() && old.text == text && ::stat(target.c_str(), &st) == 0 &&
        (st.st_mode & 07777) == mode) {
        return WriteResult::Unchanged;
    }
    if (!CreateFolderPath(GetFolderPart(target))) {
        problem = Reason("cannot create the folder of", target);
        return WriteResult::Failed;
    }
    std::string temporary = target + ".XXXXXX";
    UniqueFd fd(::mkstemp(temporary.data()));
    if (!fd.Valid()) {
        problem = Reason("cannot create a file beside", target);
        return WriteResult::Failed;
    }
    const bool written = WriteAll(fd.Get(), text) && ::fchmod(fd.Get(), mode) == 0 &&
                         ::fsync(fd.Get()) == 0 && fd.Close();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        problem = Reason("cannot write", target);
        ::unlink(temporary.c_str());
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}
