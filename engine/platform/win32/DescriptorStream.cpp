// A stream over a duplicate of the host's descriptor, with the C runtime's
// calls. Windows cannot tell whether a descriptor was opened for appending,
// so only a disk file counts as one the header can be written back into.
#include "core/DescriptorStream.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

bool DescriptorStream::Open(int descriptor) {
    Close();
    const int fd = _dup(descriptor);
    if (fd < 0) return false;
    _setmode(fd, _O_BINARY);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    const int64_t at = _lseeki64(fd, 0, SEEK_CUR);
    rewritable_ = GetFileType(handle) == FILE_TYPE_DISK && at >= 0;
    start_ = rewritable_ ? at : 0;
    stream_ = _fdopen(fd, "wb");
    if (!stream_) _close(fd);
    return stream_ != nullptr;
}
