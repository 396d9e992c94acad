// The user's exception dictionary. One dictionary at a time, in memory, as a
// sorted table of "word<TAB>transcription" strings; loaded from and saved to
// a plain text file of the same lines.
#include "words/Dict.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "core/EngineState.h"
#include "core/Platform.h"
#include "core/SafeFile.h"
#include "core/TextUtil.h"

namespace {

constexpr char kTab = '\t';

struct Dictionary {
    std::vector<std::string> entries;  // the last index is entries.size() - 1
    std::string name;
    bool modified = false;
};

Dictionary dictionary;

int LastIndex() { return static_cast<int>(dictionary.entries.size()) - 1; }

// The text before the first TAB, or the whole entry when it has none.
std::string WordPart(const std::string& entry) { return entry.substr(0, entry.find(kTab)); }

std::string TranscriptionPart(const std::string& entry) {
    size_t tab = entry.find(kTab);
    return tab == std::string::npos ? std::string() : entry.substr(tab + 1);
}

// Bisection on the lowered word parts; the word itself is compared as given,
// so a word with capitals is never found. -1 when not found.
int FindExact(const std::string& word) {
    int lo = 0;
    int hi = LastIndex();
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        std::string key = LowerCase1252(WordPart(dictionary.entries[mid]));
        if (word == key) return mid;
        if (word < key)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}

// Where a new lowered word goes: bisection on the word parts as stored, then
// before or after the last place probed. -1 when the word is already there.
int InsertionPlace(const std::string& word) {
    if (dictionary.entries.empty()) return 0;
    int lo = 0;
    int hi = LastIndex();
    int mid = 0;
    while (hi >= lo) {
        mid = (lo + hi) / 2;
        std::string key = WordPart(dictionary.entries[mid]);
        if (word == key) break;
        if (word < key)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    std::string key = WordPart(dictionary.entries[mid]);
    if (word == key) return -1;
    return word < key ? mid : mid + 1;
}

bool FitsTheHostBuffer(const std::string& transcription) {
    return transcription.size() < kDictTranscriptionSize;
}

// The first empty line, or the first line beginning with "*", ends the
// dictionary; what follows is ignored.
bool EndsDictionary(const std::string& line) { return line.empty() || line[0] == '*'; }

// A word or transcription the file could not give back: a line ends at CR
// or LF, the word at the first TAB, a line beginning with "*" ends the
// dictionary (an empty word is stored as a line holding a TAB, which does
// not), and a line longer than any data line makes the whole file unreadable.
bool SurvivesTheFile(const std::string& word, const std::string& transcription) {
    return word.find_first_of("\t\r\n") == std::string::npos && (word.empty() || word[0] != '*') &&
           transcription.find_first_of("\r\n") == std::string::npos &&
           word.size() + 1 + transcription.size() <= kLongestDataLine;
}

}  // namespace

bool DictIsEmpty() { return dictionary.entries.empty(); }

bool DictLookup(const std::string& word, std::string& entry) {
    int index = FindExact(word);
    if (index < 0) return false;
    entry = dictionary.entries[index];
    return true;
}

void DictClear() { dictionary = Dictionary{}; }

// Lines are stored as they stand, neither sorted nor lowered. A file with
// more entries than the table holds keeps the first 5001 and answers -22; a
// read error after the file was opened leaves no dictionary and answers -5.
int DictLoad(const std::string& fileName) {
    DictClear();
    // Only a regular file: a FIFO would wait for a writer, a device never end.
    if (!FileExists(fileName)) return kOpenError;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return kOpenError;
    dictionary.name = fileName;

    int result = kOk;
    std::string line;
    while (ReadDataLine(in, line) && !EndsDictionary(line)) {
        if (static_cast<int>(dictionary.entries.size()) == kDictionarySlots) {
            result = kDictionaryFull;
            break;
        }
        dictionary.entries.push_back(line);
    }
    if (in.bad()) {
        DictClear();
        return kOpenError;
    }
    return result;
}

// The entries go to a new file beside the real one (links followed), which
// replaces it only once it is complete and on the disk: a failed save leaves
// the previous file, the dictionary's name and its modified flag as they
// were. A directory, a device, a FIFO or a read-only file is not written.
int DictSave(const std::string& fileName) {
    SafeFile file;
    if (!file.Open(fileName)) return kWriteError;
    for (const std::string& entry : dictionary.entries) {
        std::string line = entry + "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), file.Stream()) != line.size()) return kWriteError;
    }
    if (!file.Commit()) return kWriteError;
    dictionary.name = fileName;
    dictionary.modified = false;
    return kOk;
}

int DictAdd(const std::string& word, const std::string& transcription) {
    if (static_cast<int>(dictionary.entries.size()) >= kDictionarySlots) return kDictionaryFull;
    if (!FitsTheHostBuffer(transcription) || !SurvivesTheFile(word, transcription)) return kInvalidValue;
    std::string w = LowerCase1252(word);
    int place = InsertionPlace(w);
    if (place < 0) return kWordExists;
    dictionary.entries.insert(dictionary.entries.begin() + place, w + kTab + transcription);
    dictionary.modified = true;
    return kOk;
}

int DictUpdate(const std::string& word, const std::string& transcription) {
    std::string w = LowerCase1252(word);
    int index = FindExact(w);
    if (index < 0) return kWordNotFound;
    if (!FitsTheHostBuffer(transcription) || !SurvivesTheFile(w, transcription)) return kInvalidValue;
    dictionary.entries[index] = w + kTab + transcription;
    dictionary.modified = true;
    return kOk;
}

int DictDelete(const std::string& word) {
    int index = FindExact(word);
    if (index < 0) return kWordNotFound;
    dictionary.entries.erase(dictionary.entries.begin() + index);
    dictionary.modified = true;
    return kOk;
}

int DictGetEntry(const std::string& word, std::string& transcription) {
    int index = FindExact(word);
    if (index < 0) {
        transcription.clear();
        return kWordNotFound;
    }
    transcription = TranscriptionPart(dictionary.entries[index]);
    return kOk;
}

int DictUnload() {
    if (dictionary.entries.empty()) return kInvalidCommand;
    DictClear();
    return kOk;
}

DictInfo DictGetInfo() {
    DictInfo info;
    info.name = dictionary.name;
    info.entryCount = static_cast<int16_t>(dictionary.entries.size());
    info.modified = dictionary.modified ? 1 : 0;
    return info;
}
