// Feeds arbitrary bytes to the engine as a user dictionary: they are written
// to a file and loaded, a word made from the input is added and spoken, and
// the dictionary is saved, loaded back and saved again. The dictionary must
// load back the same entries it saved: the two saved files must be the same
// bytes, and the count the same. When the entries are in order, every one of
// them must also be found.
//
// The input: its first byte is the length of the word's material, taken from
// the input's end ("word<TAB>transcription"); its second how many times the
// word repeats its part of the material (a power of two, so that words reach
// the length of the longest line a file may hold); the rest is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "FuzzSupport.h"
#include "core/TextUtil.h"
#include "falavoz32.h"

namespace {

constexpr size_t kLongestWord = 1 << 17;

struct Addition {
    std::string word;
    std::string transcription;
};

Addition AdditionOf(const std::string& material, uint8_t repeatBits) {
    const size_t tab = material.find('\t');
    const std::string part =
        fuzz::CText(reinterpret_cast<const uint8_t*>(material.data()), std::min(tab, material.size()));
    Addition addition;
    addition.transcription = tab == std::string::npos ? "-p`a" : material.substr(tab + 1);
    addition.transcription = addition.transcription.substr(0, addition.transcription.find('\0'));
    const size_t repeats = size_t{1} << (repeatBits % 17);
    for (size_t k = 0; k < repeats && addition.word.size() < kLongestWord; ++k) addition.word += part;
    return addition;
}

struct Info {
    std::string name;
    int16_t entryCount = 0;
    int16_t modified = 0;
};

Info DictInfo() {
    char name[FV_DICT_NAME_SIZE] = {};
    Info info;
    TTS_DictGetInfo(name, &info.entryCount, &info.modified);
    info.name = name;
    return info;
}

// The entries of a saved file, one a line ended by CR LF.
std::vector<std::string> EntriesOf(const std::string& file) {
    std::vector<std::string> entries;
    for (size_t start = 0; start < file.size();) {
        size_t end = file.find("\r\n", start);
        if (end == std::string::npos) fuzz::Finding("a saved line does not end with CR LF");
        entries.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    return entries;
}

// The lookups bisect on the lowered words: in a table whose lowered words
// ascend, each of them must be found with its transcription (as far as the
// host's buffer and a C string carry it).
void CheckEveryEntryIsFound(const std::vector<std::string>& entries) {
    std::vector<std::string> words;
    for (const std::string& entry : entries) {
        std::string word = LowerCase1252(entry.substr(0, entry.find('\t')));
        if (word.find('\0') != std::string::npos) return;
        if (!words.empty() && !(words.back() < word)) return;
        words.push_back(word);
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        const size_t tab = entries[k].find('\t');
        std::string expected = tab == std::string::npos ? std::string() : entries[k].substr(tab + 1);
        expected = expected.substr(0, std::min(expected.find('\0'), size_t{FV_DICT_TRANSCRIPTION_SIZE - 1}));
        char found[FV_DICT_TRANSCRIPTION_SIZE] = {};
        if (TTS_DictGetEntry(words[k].c_str(), found) != FV_OK || expected != found)
            fuzz::Finding("an entry of an ordered dictionary is not found as saved");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingDiphones& voice = fuzz::StartedEngine();
    static const std::string loaded = fuzz::PathIn("loaded.dic");
    static const std::string saved = fuzz::PathIn("saved.dic");
    static const std::string savedAgain = fuzz::PathIn("saved-again.dic");
    if (size < 2) return 0;

    const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t materialLength = std::min<size_t>(data[0], input.size());
    const std::string file = input.substr(0, input.size() - materialLength);
    const Addition addition = AdditionOf(input.substr(file.size()), data[1]);

    fuzz::WriteBytes(loaded, reinterpret_cast<const uint8_t*>(file.data()), file.size());
    TTS_DictLoad(loaded.c_str());
    const int16_t countLoaded = DictInfo().entryCount;
    const int added = TTS_DictAdd(addition.word.c_str(), addition.transcription.c_str());
    const Info beforeSave = DictInfo();
    if (added == FV_OK && (beforeSave.entryCount != countLoaded + 1 || beforeSave.modified != 1))
        fuzz::Finding("an added word is not counted");
    RVCall(addition.word.substr(0, 64).c_str());

    if (TTS_DictSave(saved.c_str()) != FV_OK) fuzz::Finding("a save into a plain file fails");
    const Info afterSave = DictInfo();
    if (afterSave.modified != 0 || afterSave.name != saved) fuzz::Finding("a save does not name the file");
    const int reloaded = TTS_DictLoad(saved.c_str());
    if (reloaded != FV_OK)
        fuzz::Finding("a saved dictionary does not load back: result " + std::to_string(reloaded));
    if (DictInfo().entryCount != beforeSave.entryCount)
        fuzz::Finding("a saved dictionary loads back with another count");
    if (TTS_DictSave(savedAgain.c_str()) != FV_OK) fuzz::Finding("a second save fails");
    const std::string bytes = Slurp(saved);
    if (Slurp(savedAgain) != bytes) fuzz::Finding("a saved dictionary loads back with other entries");
    const std::vector<std::string> entries = EntriesOf(bytes);
    if (entries.size() != static_cast<size_t>(beforeSave.entryCount))
        fuzz::Finding("the saved file holds another number of entries");
    CheckEveryEntryIsFound(entries);

    TTS_DictUnload();
    voice.Clear();
    return 0;
}
