// The dictionary exports: the engine must be initialised; strings cross as
// null-terminated Windows-1252, and a null pointer counts as an empty string
// (or, for an output, as nowhere to write).
#include <algorithm>
#include <cstring>

#include "core/EngineState.h"
#include "words/Dict.h"

namespace {

std::string TextOf(const char* text) { return text ? std::string(text) : std::string(); }

// Copies text into a host buffer of `size` bytes, cut to fit its terminator.
void CopyOut(const std::string& text, char* buffer, size_t size) {
    if (!buffer) return;
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

extern "C" {

FV_EXPORT int32_t FV_CALL TTS_DictLoad(const char* fileName) {
    if (!Engine.initialised) return kNotInitialised;
    return DictLoad(TextOf(fileName));
}

FV_EXPORT int32_t FV_CALL TTS_DictSave(const char* fileName) {
    if (!Engine.initialised) return kNotInitialised;
    return DictSave(TextOf(fileName));
}

FV_EXPORT int32_t FV_CALL TTS_DictAdd(const char* word, const char* transcription) {
    if (!Engine.initialised) return kNotInitialised;
    return DictAdd(TextOf(word), TextOf(transcription));
}

FV_EXPORT int32_t FV_CALL TTS_DictUpdate(const char* word, const char* transcription) {
    if (!Engine.initialised) return kNotInitialised;
    return DictUpdate(TextOf(word), TextOf(transcription));
}

FV_EXPORT int32_t FV_CALL TTS_DictDelete(const char* word) {
    if (!Engine.initialised) return kNotInitialised;
    return DictDelete(TextOf(word));
}

FV_EXPORT int32_t FV_CALL TTS_DictGetEntry(const char* word, char* transcription) {
    if (!Engine.initialised) return kNotInitialised;
    std::string found;
    int result = DictGetEntry(TextOf(word), found);
    CopyOut(found, transcription, kDictTranscriptionSize);
    return result;
}

FV_EXPORT int32_t FV_CALL TTS_DictGetInfo(char* name, int16_t* entryCount, int16_t* modified) {
    if (!Engine.initialised) return kNotInitialised;
    DictInfo info = DictGetInfo();
    CopyOut(info.name, name, kDictNameSize);
    if (entryCount) *entryCount = info.entryCount;
    if (modified) *modified = info.modified;
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_DictUnload(void) {
    if (!Engine.initialised) return kNotInitialised;
    return DictUnload();
}

}  // extern "C"
