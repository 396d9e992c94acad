#include "Actions.h"

#include <cstdint>
#include <cstdio>

#include "Encoding.h"
#include "ExitStatus.h"
#include "HostLoop.h"
#include "InputText.h"
#include "Messages.h"
#include "ProgressLine.h"
#include "System.h"
#include "falavoz32.h"

namespace {

// -x: the transcription of each line.
int Transcribe(const std::string& text) {
    for (const std::string& line : Lines(text))
        std::printf("%s\n", Cp1252ToUtf8(RVCall(line.c_str())).c_str());
    return 0;
}

// Prints each text the engine writes to the voice, one line per line.
void FV_CALL PrintPhonemeLines(const char* lines, void*) {
    std::string text = Cp1252ToUtf8(lines);
    std::string out;
    for (char c : text)
        if (c != '\r') out.push_back(c);
    if (!out.empty() && out.back() != '\n') out.push_back('\n');
    std::fputs(out.c_str(), stdout);
}

// --pho: the phoneme lines of the whole text, rendered silently.
int PrintPhonemes(const std::string& text) {
    TTS_SetPhonemeTrace(PrintPhonemeLines, nullptr, 0);
    int result = TTS_GenPcm(text.c_str(), DiscardFile(), 0, 0, 16);
    TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE);
    return ExitStatusOf(result);
}

void FV_CALL AppendPhone(const char* symbol, void* phones) { *static_cast<std::string*>(phones) += symbol; }

// --phones: each input line rendered silently on its own, and the phones the
// engine rendered for it.
int PrintPhones(const std::string& text) {
    std::string phones;
    TTS_SetPhonemeTrace(AppendPhone, &phones, FV_TRACE_PHONES);
    int result = 0;
    for (const std::string& line : Lines(text)) {
        phones.clear();
        if ((result = TTS_GenPcm(line.c_str(), DiscardFile(), 0, 0, 16)) != 0) break;
        std::printf("%s\n", Cp1252ToUtf8(phones).c_str());
    }
    TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE);
    return ExitStatusOf(result);
}

std::string PieceFileName(const std::string& file, int number) {
    std::string stem = file;
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".wav") == 0) stem.resize(stem.size() - 4);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%03d.wav", number);
    return stem + suffix;
}

// -w with --pieces: one file per piece, each name told on the standard
// error; the engine's result.
int WriteWavPieces(const Options& options, const std::string& text, ProgressLine& progress) {
    int result = 0;
    for (int number = 1; result == 0; ++number) {
        std::string name = PieceFileName(options.wavFile, number);
        result = TTS_GenPcm(text.c_str(), name.c_str(), 0, number == 1 ? 1 : 2, options.bits);
        progress.Erase();
        if (result == 0 || result == FV_NO_MORE_PIECES) std::fprintf(stderr, "%s\n", name.c_str());
    }
    return result == FV_NO_MORE_PIECES ? 0 : result;
}

// -w and --stdout: the speech in a WAV file, or in a WAV stream down a pipe.
int WriteWav(const Options& options, const std::string& text) {
    int result = 0;
    {
        ProgressLine progress(!options.quiet && StandardErrorIsTerminal());
        if (options.pieces)
            result = WriteWavPieces(options, text, progress);
        else if (options.toStandardOutput)
            result = TTS_GenPcmToDescriptor(text.c_str(), StandardOutputDescriptor(), 0, options.bits);
        else
            result = TTS_GenPcm(text.c_str(), options.wavFile.c_str(), 0, 0, options.bits);
    }
    return ExitStatusOf(result);
}

int ExitStatusAfter(const AloudEnd& end) {
    return end.interrupted ? kExitInterrupted : ExitStatusOf(end.result);
}

int Speak(const Options& options, const std::string& text) {
    return ExitStatusAfter(
        RunAloud([&](uint8_t asynchronous) { return TTS_PlayText(text.c_str(), asynchronous); },
                 options.asynchronous));
}

int Sing(const Options& options) {
    return ExitStatusAfter(RunAloud(
        [&](uint8_t asynchronous) { return TTS_PlayMusic(options.melodyFile.c_str(), 0, asynchronous); },
        options.asynchronous));
}

// The dictionary stays loaded for the run; a file longer than the table's
// 5001 entries is used as far as it fits.
int LoadDictionary(const std::string& file) {
    int result = TTS_DictLoad(file.c_str());
    if (result == FV_DICTIONARY_FULL) {
        std::fprintf(stderr, "falavoz: %s\n", MessageForCode(result).c_str());
        return 0;
    }
    return result;
}

}  // namespace

bool IsAloud(Action action) { return action == Action::Speak || action == Action::Sing; }

int StartEngine(const Options& options) {
    // A FIFO or a device would be read until it ends, which may be never.
    for (const std::string* file : {&options.languageFile, &options.dictionaryFile})
        if (!file->empty() && IsSpecialFile(*file)) return FV_OPEN_ERROR;
    if (!options.languageFile.empty()) SetEnvironmentVariable("FALAVOZ_LNG", options.languageFile);
    const bool aloud = IsAloud(options.action);
    int result = TTS_Init(aloud, OnSpeechEnd, options.voice8k ? 1 : 0);
    // Without its voice the engine still transcribes.
    const bool needsVoice = aloud || options.action == Action::Wav;
    if (result == FV_INIT_ERROR || result == FV_NO_DEVICE || (result != 0 && needsVoice)) return result;
    result = TTS_SetMode(static_cast<uint8_t>(options.speed), static_cast<uint8_t>(options.volume),
                         static_cast<uint8_t>(options.pitch));
    if (result != 0) return result;
    for (auto [option, value] : options.engineOptions)
        if ((result = TTS_SetOption(option, value)) != 0) return result;
    if (!options.dictionaryFile.empty()) return LoadDictionary(options.dictionaryFile);
    return 0;
}

int RunAction(const Options& options, const std::string& text) {
    switch (options.action) {
        case Action::Transcribe:
            return Transcribe(text);
        case Action::PhonemeLines:
            return PrintPhonemes(text);
        case Action::Phones:
            return PrintPhones(text);
        case Action::Wav:
            return WriteWav(options, text);
        case Action::Speak:
            return Speak(options, text);
        case Action::Sing:
            return Sing(options);
        case Action::ShowHelp:
            PrintHelp();
            return 0;
        case Action::ShowVersion:
            PrintVersion();
            return 0;
    }
    return 0;
}
