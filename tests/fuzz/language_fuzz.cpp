// Feeds arbitrary bytes to the engine as its language data: they are written
// to a file that TTS_Init loads in place of brport.lng (through FALAVOZ_LNG),
// and a short text is then spoken, so that the lexicon, the tag rules and the
// suffix rules that were loaded get used. The words of the file's first lines
// are spoken too, so that a lexicon of any words is looked up. Whatever the
// file holds, the engine must neither crash nor hang, and a file it refuses
// must leave tables it can still transcribe with.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "falavoz32.h"

namespace {

// Known and unknown words, numbers, an abbreviation and inflected forms, for
// the lexicon, the suffix rules and the tag rules ("S\xE3o" is "São").
constexpr const char* kSentence =
    "O menino comprou 23 casas amarelas em S\xE3o Paulo, e cantava felizmente "
    "\xE0s 10h com o Dr. Silva; as meninas partiram. ";
constexpr int kWordsSpoken = 16;

// The first field of each of the file's first lines.
std::string FirstWordsOf(const std::string& file) {
    std::string words;
    size_t start = 0;
    for (int n = 0; n < kWordsSpoken && start < file.size(); ++n) {
        size_t end = file.find('\n', start);
        if (end == std::string::npos) end = file.size();
        const std::string line = file.substr(start, end - start);
        words += line.substr(0, line.find_first_of("\t\r")) + " ";
        start = end + 1;
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingDiphones& voice = fuzz::TestVoice();
    static const std::string path = [] {
        const std::string file = fuzz::PathIn("brport.lng");
        setenv("FALAVOZ_LNG", file.c_str(), 1);
        return file;
    }();
    fuzz::WriteBytes(path, data, size);
    const int loaded = TTS_Init(0, nullptr, 0);

    std::string text = kSentence + FirstWordsOf(std::string(reinterpret_cast<const char*>(data), size));
    text = text.substr(0, text.find('\0'));
    // RVCall needs no TTS_Init, so it must cope with what a refused file
    // left loaded; the whole rendering runs on data that was accepted.
    RVCall(text.c_str());
    if (loaded == FV_OK) TTS_GenPcm(text.c_str(), "/dev/null", 0, 0, 16);
    voice.Clear();
    return 0;
}
