// Safe replacement of a file with POSIX calls: O_EXCL creation, flock as the
// mark of a save under way, fsync before rename and of the folder after.
#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel's own limit

// The folder part of a path, with its final '/'; empty for a bare name.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a name stands for once its symbolic links are followed (the name
// itself when it is no link or names nothing yet): a save must change what a
// link points to, not put a plain file in the link's place.
bool FollowLinks(std::string path, std::string& real) {
    std::vector<char> buffer(PATH_MAX);
    for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            real = path;
            return true;
        }
        ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<size_t>(length) == buffer.size()) return false;
        std::string link(buffer.data(), static_cast<size_t>(length));
        path = link[0] == '/' ? link : FolderOf(path) + link;
    }
    return false;  // a loop of links
}

// Read-only for this save: the caller may not write it, or nobody may (which
// root would otherwise ignore). Such a file stays as its owner left it.
bool IsReadOnly(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// A temporary file is stale when no save holds its lock: every save locks
// the one it creates for as long as it writes, and the system drops the lock
// when the process ends however it ends, so a file left unlocked was left by
// a save that was killed. Removes it then; false when it is in use or is
// not a plain file.
bool RemoveIfStale(const std::string& temporary) {
    int fd = open(temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT;  // gone meanwhile: worth a second try
    struct stat held {
    }, named{};
    bool stale = fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0;
    // Remove only the file that was checked, not one another save has just
    // put under the name.
    bool removed = stale && lstat(temporary.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
                   named.st_ino == held.st_ino && unlink(temporary.c_str()) == 0;
    close(fd);
    return removed;
}

// Creates the temporary file and locks it; removes a stale one first and
// tries once more. -1 on failure.
int CreateTemporary(const std::string& temporary, mode_t mode) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
            close(fd);  // taken over by another save between the two calls
            return -1;
        }
        if (errno != EEXIST || attempt > 0 || !RemoveIfStale(temporary)) return -1;
    }
    return -1;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);  // where the file system allows it
    close(fd);
}

}  // namespace

std::string TemporaryNameFor(const std::string& realFile) {
    size_t slash = realFile.rfind('/');
    size_t base = slash == std::string::npos ? 0 : slash + 1;
    return realFile.substr(0, base) + "." + realFile.substr(base) + ".falavoz-tmp";
}

SafeFile::~SafeFile() { Abandon(); }

bool SafeFile::Open(const std::string& name, DeviceTarget devices) {
    Abandon();
    if (name.empty() || !FollowLinks(name, target_)) return false;

    struct stat info {};
    bool exists = lstat(target_.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && S_ISCHR(info.st_mode) && devices == DeviceTarget::kWriteInPlace) {
        int fd = open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return false;
        stream_ = fdopen(fd, "wb");
        if (!stream_) close(fd);
        return stream_ != nullptr;
    }
    if (exists && (!S_ISREG(info.st_mode) || IsReadOnly(target_, info))) return false;

    const mode_t mode = exists ? (info.st_mode & 0777) : 0644;  // the umask narrows a new file's
    std::string temporary = TemporaryNameFor(target_);
    int fd = CreateTemporary(temporary, mode);
    if (fd < 0) return false;
    temporary_ = temporary;
    if (exists) {
        // The old file's owner and rights, exactly, before any data goes in;
        // only root may give the file away, so a failure there is no error.
        [[maybe_unused]] int owned = fchown(fd, info.st_uid, info.st_gid);
        if (fchmod(fd, mode) != 0) {
            Abandon();
            close(fd);
            return false;
        }
    }
    stream_ = fdopen(fd, "wb");
    if (!stream_) {
        Abandon();
        close(fd);
        return false;
    }
    return true;
}

bool SafeFile::Commit() {
    if (!stream_) return false;
    bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (temporary_.empty()) {  // a device, written in place
        written = std::fclose(stream_) == 0 && written;
        stream_ = nullptr;
        return written;
    }
    // Renamed while still locked, so that no other save takes it for stale.
    if (!written || fsync(fileno(stream_)) != 0 || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Abandon();
        return false;
    }
    temporary_.clear();
    std::fclose(stream_);  // the data is already on the disk
    stream_ = nullptr;
    SyncFolder(FolderOf(target_));
    return true;
}

void SafeFile::Abandon() {
    // Removed before it is closed, while the lock still says it is ours.
    if (!temporary_.empty()) unlink(temporary_.c_str());
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    temporary_.clear();
}
