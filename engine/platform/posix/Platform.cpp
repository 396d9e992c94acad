// Linux stand-ins for the Windows services the engine uses.
#include "core/Platform.h"

#include "FvDsp32.h"
#include "core/TextUtil.h"

#include <dlfcn.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include <climits>

std::string ExecutableDirectory() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    std::string exe(path, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

namespace {

// The data folder of an installation as seen from the library's own folder
// (lib/../share/falavoz), so that an installation moved as a whole, a
// package unpacked under another folder say, still finds its data. Empty
// when the engine is no installed library or that folder is not there.
std::string DataDirectoryBesideLibrary() {
#ifdef FALAVOZ_DATADIR_FROM_LIBDIR
    Dl_info library{};
    if (dladdr(reinterpret_cast<void*>(&DataDirectoryBesideLibrary), &library) == 0 || !library.dli_fname)
        return "";
    std::string file = library.dli_fname;
    size_t slash = file.rfind('/');
    if (slash == std::string::npos) return "";
    std::string directory = JoinPath(file.substr(0, slash), FALAVOZ_DATADIR_FROM_LIBDIR);
    struct stat info;
    if (stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return directory;
#endif
    return "";
}

}  // namespace

std::string SystemDataDirectory() {
    if (const char* dir = std::getenv("FALAVOZ_DATA"); dir && *dir) return dir;
    if (std::string moved = DataDirectoryBesideLibrary(); !moved.empty()) return moved;
#ifdef FALAVOZ_DATADIR
    return FALAVOZ_DATADIR;
#else
    return "/usr/local/share/falavoz";
#endif
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

char SystemDecimalSeparator() {
    // The user's LC_NUMERIC, read without touching the process's locale.
    const char* name = std::getenv("LC_ALL");
    if (!name || !*name) name = std::getenv("LC_NUMERIC");
    if (!name || !*name) name = std::getenv("LANG");
    if (!name || !*name) return ',';
    locale_t locale = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return ',';
    const char* point = nl_langinfo_l(RADIXCHAR, locale);
    char separator = (point && point[0] && !point[1]) ? point[0] : ',';
    freelocale(locale);
    // The plain C locale says nothing about the user's habits.
    std::string locale_name = name;
    if (locale_name == "C" || locale_name == "POSIX" || locale_name.rfind("C.", 0) == 0) return ',';
    return separator;
}

// The engine's texts are Windows-1252; a terminal reads UTF-8.
void ShowMessage(const std::string& text) {
    std::fprintf(stderr, "Falavoz: %s\n", Utf8From1252(text).c_str());
}

int DiphoneLibraryChannels() { return voiceChannels_MBR(); }
int SelectDiphoneLibraryChannel(int channel) { return selectVoice_MBR(channel); }
