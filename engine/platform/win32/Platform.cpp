// The Windows services the engine uses: the program's folder, the system
// directory, the profile's decimal separator and message boxes.
#include "core/Platform.h"

#include <windows.h>

#include <string>

namespace {

// The system directory is read into a buffer of this size; a longer one is
// taken as unknown.
constexpr UINT kSystemDirectorySize = 150;

}  // namespace

std::string ExecutableDirectory() {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    std::string exe(path, n);
    size_t separator = exe.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : exe.substr(0, separator);
}

std::string SystemDataDirectory() {
    char directory[kSystemDirectorySize];
    UINT n = GetSystemDirectoryA(directory, kSystemDirectorySize);
    if (n == 0 || n >= kSystemDirectorySize) return "";
    return std::string(directory, n);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '\\' || directory.back() == '/') return directory + name;
    return directory + "\\" + name;
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

char SystemDecimalSeparator() {
    char separator[8];
    GetProfileStringA("Intl", "sDecimal", ",", separator, sizeof separator);
    return separator[0] ? separator[0] : ',';
}

// A console program has somewhere to write the message; a program with
// windows gets a message box. A box in a program nobody watches would wait
// for ever.
void ShowMessage(const std::string& text) {
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (errors != nullptr && errors != INVALID_HANDLE_VALUE && GetFileType(errors) != FILE_TYPE_UNKNOWN) {
        const std::string line = "Falavoz: " + text + "\r\n";
        DWORD written = 0;
        WriteFile(errors, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    MessageBoxA(nullptr, text.c_str(), "Falavoz", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

int DiphoneLibraryChannels() { return 1; }
int SelectDiphoneLibraryChannel(int channel) { return channel == 0 ? 0 : -1; }
