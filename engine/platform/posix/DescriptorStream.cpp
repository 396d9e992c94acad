// A stream over a duplicate of the host's descriptor, with POSIX calls.
#include "core/DescriptorStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool DescriptorStream::Open(int descriptor) {
    Close();
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return false;
    const int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return false;
    struct stat info {};
    const off_t at = lseek(fd, 0, SEEK_CUR);
    rewritable_ = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && !(flags & O_APPEND) && at >= 0;
    start_ = rewritable_ ? at : 0;
    stream_ = fdopen(fd, "wb");
    if (!stream_) close(fd);
    return stream_ != nullptr;
}
