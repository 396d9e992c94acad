// Replacing a file so that its name shows either the old contents or the
// whole new ones: the new contents go to a temporary file beside the real
// file (symbolic links followed), which takes the file's place only once it
// is complete and on the disk. The dictionary's save and the WAV writer both
// write through it.
#pragma once

#include <cstdio>
#include <string>

// What to do when the name is a character device (/dev/null, say): WAV
// output writes into it as it stands, since there is no file to keep and the
// command line renders silently that way; a dictionary refuses it.
enum class DeviceTarget { kRefuse, kWriteInPlace };

class SafeFile {
public:
    SafeFile() = default;
    ~SafeFile();  // what was not committed is abandoned
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Creates the temporary file, exclusively and with the final access
    // rights (the old file's, or 0644 less the umask for a new one). false,
    // with nothing changed on the disk, when the name is a directory, a FIFO,
    // a socket or a block device (or a character device that is refused),
    // when the existing file is read-only (it is not made writable behind its
    // owner's back), when another save of the same file is under way, or on
    // any system error.
    bool Open(const std::string& name, DeviceTarget devices = DeviceTarget::kRefuse);
    // Where to write between Open and Commit.
    std::FILE* Stream() const { return stream_; }
    // Flushes and syncs the new contents, puts them in the file's place and
    // syncs the folder. On failure the temporary file is removed and the old
    // file is left as it was.
    bool Commit();
    // Removes the temporary file; the old file stays as it was.
    void Abandon();

private:
    std::FILE* stream_ = nullptr;
    std::string target_;     // the real file, links followed
    std::string temporary_;  // empty when writing into a device in place
};

// The one temporary name of a file: ".NAME.falavoz-tmp" in its folder. A
// save killed midway leaves it behind; the next save of the file removes it.
std::string TemporaryNameFor(const std::string& realFile);
