#include "platform/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links are followed this many times at most, as the system does.
const int MAX_LINKS = 40;
// A save's temporary file is "." + name + TEMPORARY_MARK + six letters and
// digits (mkstemp's X). The mark is the programs' own, so that a name a user
// gave a file of theirs is never taken for one of ours and removed.
const char* const TEMPORARY_MARK = ".orx700-part-";
const char* const TEMPORARY_TAIL = "XXXXXX";

std::string Folder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Name(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path a chain of links at path ends in (path itself when it is no
// link); empty when the chain is too long or cannot be read.
std::string FollowLinks(std::string path) {
    for (int i = 0; i < MAX_LINKS; ++i) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {};
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : Folder(path) + "/" + target;
    }
    return {};
}

// What mkstemp made of "." + name + TEMPORARY_MARK + TEMPORARY_TAIL.
bool IsTemporaryOf(const std::string& entry, const std::string& name) {
    const std::string head = "." + name + TEMPORARY_MARK;
    const std::size_t tail = std::strlen(TEMPORARY_TAIL);
    if (entry.size() != head.size() + tail || entry.compare(0, head.size(), head) != 0) return false;
    for (std::size_t i = head.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// A save killed between creating its temporary file and renaming it leaves
// the file behind; only our own regular files of that pattern are removed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        struct stat info {};
        if (IsTemporaryOf(entry->d_name, name) &&
            fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == geteuid())
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content) {
    content.clear();
    // Without O_NONBLOCK a FIFO at path would wait for a writer forever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? TFileRead::Missing : TFileRead::Refused;
    struct stat info {};
    TFileRead result = TFileRead::Refused;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) <= maxBytes) {
        // The file may grow while it is read: never hold more than maxBytes.
        content.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t done = 0;
        for (;;) {
            const ssize_t n = read(fd, content.data() + done, content.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                result = n == 0 ? TFileRead::Read : TFileRead::Refused;
                break;
            }
            done += static_cast<std::size_t>(n);
            if (done > maxBytes) break;
            if (done == content.size()) content.resize(std::min(maxBytes + 1, content.size() * 2));
        }
        content.resize(result == TFileRead::Read ? done : 0);
    }
    close(fd);
    return result;
}

bool ReplaceFile(const std::string& path, const std::string& content, std::string& error) {
    error = "cannot write " + path;
    const std::string target = FollowLinks(path);
    if (target.empty()) return false;
    struct stat old {};
    const bool exists = lstat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && !S_ISREG(old.st_mode)) {
        error = path + " is not a regular file";
        return false;
    }
    // Root may write anywhere; a file its owner made read-only still stays.
    if (exists && (old.st_mode & S_IWUSR) == 0) {
        error = path + " is read-only";
        return false;
    }
    const std::string folder = Folder(target);
    const std::string name = Name(target);
    RemoveStaleTemporaries(folder, name);

    std::string temporary = folder + "/." + name + TEMPORARY_MARK + TEMPORARY_TAIL;
    // mkostemp creates the file with O_CREAT | O_EXCL: a link planted at the
    // name makes it fail, never redirects it.
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, content);
    if (ok && exists) {
        ok = fchmod(fd, old.st_mode & 07777) == 0;
        // A file shared through its group stays its owner's, or is not replaced.
        if (ok && (old.st_uid != geteuid() || old.st_gid != getegid()))
            ok = fchown(fd, old.st_uid, old.st_gid) == 0;
    } else if (ok) {
        ok = fchmod(fd, NewFileMode()) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    // Something may have taken the target's place meanwhile.
    struct stat now {};
    if (ok && lstat(target.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) ok = false;
    if (!ok || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}
