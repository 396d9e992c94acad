// Safe replacement of a file with Windows calls. The temporary file is
// created exclusively and held open without delete sharing for as long as a
// save writes it, which is the mark of a save under way: a temporary file
// that can be deleted was left by a save that was killed. MoveFileEx puts
// it in the real file's place once its data is on the disk.
#include "core/SafeFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// The DOS device names that a path may end in (NUL, CON, ...), written into
// as they stand.
bool IsDeviceName(const std::string& name) {
    size_t separator = name.find_last_of("\\/:");
    std::string base = separator == std::string::npos ? name : name.substr(separator + 1);
    for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return base == "NUL" || base == "CON";
}

// Creates the temporary file, held open for writing only by this save;
// removes a stale one first and tries once more.
HANDLE CreateTemporary(const std::string& temporary) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        // Deleting fails while another save holds the file open.
        if (GetLastError() != ERROR_FILE_EXISTS || attempt > 0 || !DeleteFileA(temporary.c_str())) break;
    }
    return INVALID_HANDLE_VALUE;
}

std::FILE* StreamOver(HANDLE file) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) _close(fd);
    return stream;
}

}  // namespace

std::string TemporaryNameFor(const std::string& realFile) {
    size_t separator = realFile.find_last_of("\\/");
    size_t base = separator == std::string::npos ? 0 : separator + 1;
    return realFile.substr(0, base) + "." + realFile.substr(base) + ".falavoz-tmp";
}

SafeFile::~SafeFile() { Abandon(); }

bool SafeFile::Open(const std::string& name, DeviceTarget devices) {
    Abandon();
    if (name.empty()) return false;
    target_ = name;
    if (IsDeviceName(name)) {
        if (devices != DeviceTarget::kWriteInPlace) return false;
        stream_ = std::fopen(name.c_str(), "wb");
        return stream_ != nullptr;
    }
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE)))
        return false;

    std::string temporary = TemporaryNameFor(name);
    HANDLE file = CreateTemporary(temporary);
    if (file == INVALID_HANDLE_VALUE) return false;
    temporary_ = temporary;
    stream_ = StreamOver(file);
    if (!stream_) Abandon();
    return stream_ != nullptr;
}

bool SafeFile::Commit() {
    if (!stream_) return false;
    bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (temporary_.empty()) {  // a device, written in place
        written = std::fclose(stream_) == 0 && written;
        stream_ = nullptr;
        return written;
    }
    written = written && FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_))));
    std::fclose(stream_);
    stream_ = nullptr;
    if (!written || !MoveFileExA(temporary_.c_str(), target_.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void SafeFile::Abandon() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
    temporary_.clear();
}
