// The user's exception dictionary: words with the transcription the engine
// must use for them, held as a table of "word<TAB>transcription" entries in
// ascending byte order of the word.
#pragma once

#include <cstdint>
#include <string>

#include "falavoz32.h"

constexpr int kDictionarySlots = 5001;

// What a host's buffers hold: a transcription copied by TTS_DictGetEntry and
// the name copied by TTS_DictGetInfo, terminator included. Copies are cut to
// fit; transcriptions that would not fit are refused when added.
constexpr size_t kDictTranscriptionSize = FV_DICT_TRANSCRIPTION_SIZE;
constexpr size_t kDictNameSize = FV_DICT_NAME_SIZE;

bool DictIsEmpty();
// Exact lookup of a word as given (the caller lowers it): the whole entry.
bool DictLookup(const std::string& word, std::string& entry);
// Empties the table and forgets the name (at every TTS_Init).
void DictClear();

// The operations behind the TTS_Dict exports; each returns a result code.
int DictLoad(const std::string& fileName);
int DictSave(const std::string& fileName);
int DictAdd(const std::string& word, const std::string& transcription);
int DictUpdate(const std::string& word, const std::string& transcription);
int DictDelete(const std::string& word);
int DictGetEntry(const std::string& word, std::string& transcription);
int DictUnload();

struct DictInfo {
    std::string name;
    int16_t entryCount = 0;
    int16_t modified = 0;
};
DictInfo DictGetInfo();
