/* Falavoz32 — Brazilian-Portuguese speech engine, flat C interface.
 *
 * Strings cross this interface as null-terminated Windows-1252 text owned by
 * the caller. Every function returns a result code (0 success, negative
 * error, see FV_* below) unless noted. */
#ifndef FALAVOZ32_H
#define FALAVOZ32_H

#include <stdint.h>

#ifdef _WIN32
#define FV_CALL __stdcall
#ifdef FALAVOZ32_BUILD
#define FV_EXPORT /* Falavoz32.def names the exports */
#else
#define FV_EXPORT __declspec(dllimport)
#endif
#else
#define FV_CALL
#define FV_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
enum {
    FV_OK = 0,
    FV_NOT_INITIALISED = -1,
    FV_BUSY = -2,
    FV_INVALID_COMMAND = -3,
    FV_FILE_NOT_FOUND = -4,
    FV_OPEN_ERROR = -5,
    FV_WRITE_ERROR = -6,
    FV_INIT_ERROR = -7,
    FV_NO_MEMORY = -8,
    FV_DEVICE_BUSY = -9,
    FV_DEVICE_OPEN_ERROR = -10,
    FV_DEVICE_WRITE_ERROR = -11,
    FV_FORMAT_UNSUPPORTED = -12,
    FV_NO_DEVICE = -13,
    FV_DEVICE_ERROR = -14,
    FV_DEVICE_NO_MEMORY = -15,
    FV_INVALID_VALUE = -16,
    FV_NO_MORE_PIECES = -17,
    /* The voice failed during the call (its message went to standard error);
     * the rest of the text was still rendered. */
    FV_SYNTHESIS_ERROR = -18,
    FV_WORD_NOT_FOUND = -21,
    FV_DICTIONARY_FULL = -22,
    FV_WORD_EXISTS = -23
};

/* Host notification: called as (0, result code, 0) when asynchronous speech
 * or singing ends. */
typedef void(FV_CALL* SpeechCallback)(int32_t reserved1, int32_t result, int32_t reserved2);

FV_EXPORT int32_t FV_CALL TTS_Init(uint8_t checkDevice, SpeechCallback callback, int32_t use8kVoice);
FV_EXPORT int32_t FV_CALL TTS_PlayText(const char* text, uint8_t asynchronous);
/* TTS_GenPcm writes a new file beside the old one (which a failure leaves as
 * it was) and puts it in place at the end; a character device such as
 * /dev/null is written as it stands. Audio that would pass the 4 GiB a WAV
 * file can describe ends the call with FV_WRITE_ERROR. */
FV_EXPORT int32_t FV_CALL TTS_GenPcm(const char* source, const char* outputFile, int32_t sourceIsFile,
                                     int32_t pieceMode, int32_t bits);
FV_EXPORT int32_t FV_CALL TTS_PlayMusic(const char* source, int32_t sourceIsText, uint8_t asynchronous);
FV_EXPORT int32_t FV_CALL TTS_SetMode(uint8_t speed, uint8_t volume, uint8_t pitch);
FV_EXPORT int32_t FV_CALL TTS_GetMode(int16_t* speed, int16_t* volume, int16_t* pitch);
/* Added on this platform: option FV_OPTION_LETTER_RULES with a value other
 * than 0 reads every word outside the lexicon and the dictionary by the
 * letter and stress rules alone, without the stage that helps them with what
 * the spelling implies; 0 (the default after TTS_Init) turns it off. It lets
 * the rules be compared with other readers. */
#define FV_OPTION_LETTER_RULES 7
FV_EXPORT int32_t FV_CALL TTS_SetOption(int32_t option, int32_t value);
FV_EXPORT int32_t FV_CALL TTS_ChangeControlCharacter(uint8_t character);
FV_EXPORT int32_t FV_CALL TTS_StopText(void);
FV_EXPORT int32_t FV_CALL TTS_PauseText(void);
FV_EXPORT int32_t FV_CALL TTS_ResumeText(void);

/* The exception dictionary. TTS_DictGetEntry copies a transcription into a
 * buffer of FV_DICT_TRANSCRIPTION_SIZE bytes and TTS_DictGetInfo the file name
 * into one of FV_DICT_NAME_SIZE bytes (terminator included; longer texts are
 * cut to fit). TTS_DictAdd and TTS_DictUpdate refuse with FV_INVALID_VALUE
 * a transcription that would not fit, a word that begins with "*" or holds a
 * TAB, CR or LF, a transcription that holds CR or LF, and a word so long that
 * its entry (word, TAB, transcription) passes 64 KiB: the file could not give
 * them back. TTS_DictSave writes a new file beside the real one
 * (symbolic links followed) and puts it in its place only when it is complete
 * and on the disk; it refuses with FV_WRITE_ERROR a folder, a device, a FIFO
 * and a read-only file, which stay as they were. */
#define FV_DICT_TRANSCRIPTION_SIZE 256
#define FV_DICT_NAME_SIZE 260

FV_EXPORT int32_t FV_CALL TTS_DictLoad(const char* fileName);
FV_EXPORT int32_t FV_CALL TTS_DictSave(const char* fileName);
FV_EXPORT int32_t FV_CALL TTS_DictAdd(const char* word, const char* transcription);
FV_EXPORT int32_t FV_CALL TTS_DictUpdate(const char* word, const char* transcription);
FV_EXPORT int32_t FV_CALL TTS_DictDelete(const char* word);
FV_EXPORT int32_t FV_CALL TTS_DictGetEntry(const char* word, char* transcription);
FV_EXPORT int32_t FV_CALL TTS_DictGetInfo(char* name, int16_t* entryCount, int16_t* modified);
FV_EXPORT int32_t FV_CALL TTS_DictUnload(void);

/* Audio completion entry, for message 957: on POSIX systems the host calls
 * it when the notification descriptor becomes readable; on Windows the
 * engine's hidden window calls it. Other messages are ignored. */
FV_EXPORT void FV_CALL WaveCallback(uint32_t a, uint32_t b, uint32_t c, uint32_t message, uint32_t e);

/* Added on POSIX systems: the notification descriptor that stands in for the
 * engine's hidden window (on Windows the window itself takes the completions
 * and calls WaveCallback, and this returns -1). It becomes readable when a queued audio buffer has
 * played; the host, polling it on the thread that calls the engine, then
 * calls WaveCallback(0, 0, 0, 957, 0), which releases the buffer and goes on
 * with the asynchronous speech or singing. -1 if the system gave none.
 * While a synchronous TTS_PlayText or TTS_PlayMusic waits for its audio,
 * TTS_StopText may also be called from a signal handler (Ctrl+C). */
FV_EXPORT int32_t FV_CALL TTS_GetNotificationFd(void);

/* Phone transcription of a text; the pointer stays valid until the next call
 * into the engine. Works without TTS_Init. */
FV_EXPORT const char* FV_CALL RVCall(const char* text);

/* An addition, on every system: every text the back end writes to the diphone
 * library is first handed to trace (CR LF line ends, the flush command "#"
 * without one). mode is a sum of the flags below; 0 and 1 keep their first
 * meaning. Without FV_TRACE_SYNTHESISE the diphone library is left alone and
 * the pieces come out silent and empty. With FV_TRACE_PHONES trace is handed
 * the phones of speech instead of the lines: one call per phone, in the order
 * rendered, with the engine symbol the voice speaks it by (after the
 * grammar, the vowels' opening and the changes at a word's end, transition
 * vowels included, pauses left out; "e", "o", "h" and "@" stand also for
 * "ê", "ô", "H" and "ã", which the voice does not tell apart). Singing gives
 * no phones. A NULL trace ends tracing. */
#define FV_TRACE_SYNTHESISE 1 /* the lines also go on to the voice */
#define FV_TRACE_PHONES 2     /* hand over the phones, not the lines */
typedef void(FV_CALL* PhonemeTraceCallback)(const char* lines, void* context);
FV_EXPORT int32_t FV_CALL TTS_SetPhonemeTrace(PhonemeTraceCallback trace, void* context, int32_t mode);

/* Added on this platform: TTS_GenPcm of a whole text (pieceMode 0) into a
 * descriptor the host opened and keeps open, its standard output say. The
 * header first holds the sizes of a stream of unknown length
 * (FV_WAV_STREAM_DATA_SIZE sample bytes, which WAV readers take as "read to
 * the end"); where the descriptor is a regular file not opened for
 * appending, the final sizes are written over them at the end and the
 * descriptor is left at the end of the WAV. */
#define FV_WAV_STREAM_DATA_SIZE 0x7FFFF000u
FV_EXPORT int32_t FV_CALL TTS_GenPcmToDescriptor(const char* source, int32_t descriptor, int32_t sourceIsFile,
                                                 int32_t bits);

/* Added on this platform: how far TTS_GenPcm and TTS_GenPcmToDescriptor have
 * got. After each piece written, progress is given how many bytes of the text
 * are rendered and the text's length (it never goes back, and reaches the
 * length when the text is done). A NULL progress ends the reports. */
typedef void(FV_CALL* RenderProgressCallback)(int32_t rendered, int32_t length, void* context);
FV_EXPORT int32_t FV_CALL TTS_SetRenderProgress(RenderProgressCallback progress, void* context);

#ifdef __cplusplus
}
#endif

#endif
