/*
 * FvDsp32: the diphone synthesis library used by the Falavoz engine.
 *
 * It offers the MBROLA library interface: phoneme lines go in through
 * write_MBR, 16-bit mono samples come out through read_MBR, at 16000 Hz for
 * the "br1.dsp" voice and 8000 Hz for "br18k.dsp". Texts crossing this
 * interface are Windows-1252. Calls come from one thread only.
 */
#ifndef FVDSP32_H
#define FVDSP32_H

#ifdef _WIN32
#define FVDSP_CALL __stdcall
#ifdef FVDSP32_BUILD
#define FVDSP_API /* FvDsp32.def names the exports */
#else
#define FVDSP_API __declspec(dllimport)
#endif
#else
#define FVDSP_CALL
#define FVDSP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the voice database at voicePath. 0 on success, nonzero on failure. */
FVDSP_API int FVDSP_CALL init_MBR(const char* voicePath);

/* Drops all pending work and closes the voice. */
FVDSP_API void FVDSP_CALL close_MBR(void);

/* Output amplitude factor (1.0 = full) for the synthesis that follows. */
FVDSP_API void FVDSP_CALL SetVolume_MBR(float volumeRatio);

/* Queues one or more CR LF-terminated phoneme lines; a line "#" (which may
 * come last without a line end) ends the utterance. 0, or negative on error. */
FVDSP_API int FVDSP_CALL write_MBR(const char* lines);

/* Ends the utterance written so far, as a "#" line would. 0 on success. */
FVDSP_API int FVDSP_CALL flush_MBR(void);

/* Copies up to wanted samples into buffer and returns how many; fewer than
 * wanted when no more are pending; negative on error. */
FVDSP_API int FVDSP_CALL read_MBR(short* buffer, int wanted);

/* Drops all pending input and output. */
FVDSP_API void FVDSP_CALL reset_MBR(void);

/* Copies the last error text, null-terminated and cut to size - 1 bytes;
 * returns the number of bytes copied before the null. */
FVDSP_API int FVDSP_CALL lastErrorStr_MBR(char* buffer, int size);

/* Beyond the MBROLA interface: more than one voice synthesising at once.
 * voiceChannels_MBR tells how many are worth having (one per processor,
 * at most two). selectVoice_MBR(channel) makes the functions above act on
 * that channel until the next selection; channel 0 is the one init_MBR
 * opens, and the others open the same voice, at the same volume, when
 * first selected. Each channel renders its utterances exactly as channel
 * 0 would. 0 on success, -1 for a channel that does not exist or that
 * cannot be opened (channel 0 stays selected then). */
FVDSP_API int FVDSP_CALL voiceChannels_MBR(void);
FVDSP_API int FVDSP_CALL selectVoice_MBR(int channel);

#ifdef __cplusplus
}
#endif

#endif
