// The dictionary exports. Loading, editing and saving dictionaries is not
// available yet: the calls answer as for an engine without a dictionary.
#include "Dict.h"
#include "EngineState.h"

extern "C" {

FV_EXPORT int32_t FV_CALL TTS_DictLoad(const char*) {
    return Engine.initialised ? kOpenError : kNotInitialised;
}

FV_EXPORT int32_t FV_CALL TTS_DictSave(const char*) {
    return Engine.initialised ? kWriteError : kNotInitialised;
}

FV_EXPORT int32_t FV_CALL TTS_DictAdd(const char*, const char*) {
    return Engine.initialised ? kInvalidCommand : kNotInitialised;
}

FV_EXPORT int32_t FV_CALL TTS_DictUpdate(const char*, const char*) {
    return Engine.initialised ? kWordNotFound : kNotInitialised;
}

FV_EXPORT int32_t FV_CALL TTS_DictDelete(const char*) {
    return Engine.initialised ? kWordNotFound : kNotInitialised;
}

FV_EXPORT int32_t FV_CALL TTS_DictGetEntry(const char*, char* transcription) {
    if (!Engine.initialised) return kNotInitialised;
    if (transcription) transcription[0] = '\0';
    return kWordNotFound;
}

FV_EXPORT int32_t FV_CALL TTS_DictGetInfo(char* name, int16_t* entryCount, int16_t* modified) {
    if (!Engine.initialised) return kNotInitialised;
    if (name) name[0] = '\0';
    if (entryCount) *entryCount = -1;
    if (modified) *modified = 0;
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_DictUnload(void) {
    return Engine.initialised ? kInvalidCommand : kNotInitialised;
}

}  // extern "C"
