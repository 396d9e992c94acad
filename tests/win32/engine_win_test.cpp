// The Windows engine as a host meets it: Falavoz32.dll linked through its
// import library, FvDsp32.dll beside it, speech on the wave-out device and
// completions through the hidden window's messages.
//
//   engine_win_test                      the checks below
//   engine_win_test --transcribe IN OUT  RVCall of each UTF-8 line of IN
//   engine_win_test --pho TEXT OUT       the phoneme lines of an ASCII TEXT
#include <windows.h>
// mmsystem.h builds on windows.h.
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "Encoding.h"
#include "falavoz32.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
}

void CheckCode(int32_t actual, int32_t expected, const std::string& what) {
    Check(actual == expected,
          what + ": " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

// What the engine told the host, through the callback given to TTS_Init.
int callbackCalls = 0;
int32_t lastCallbackResult = 1;

void FV_CALL OnSpeechEnd(int32_t, int32_t result, int32_t) {
    ++callbackCalls;
    lastCallbackResult = result;
}

// Dispatches this thread's messages, as a host's loop does, until done says
// so or the time is up; false on time out.
bool DispatchUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

void DispatchFor(DWORD milliseconds) {
    DispatchUntil([] { return false; }, milliseconds);
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

uint16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Every export, taken by address: the program links only when the import
// library has each under the name the compiler gives its declaration (the
// stdcall name with its argument size on 32-bit Windows).
const void* const kEveryExport[] = {
    reinterpret_cast<const void*>(&TTS_Init),
    reinterpret_cast<const void*>(&TTS_PlayText),
    reinterpret_cast<const void*>(&TTS_GenPcm),
    reinterpret_cast<const void*>(&TTS_PlayMusic),
    reinterpret_cast<const void*>(&TTS_SetMode),
    reinterpret_cast<const void*>(&TTS_GetMode),
    reinterpret_cast<const void*>(&TTS_SetOption),
    reinterpret_cast<const void*>(&TTS_ChangeControlCharacter),
    reinterpret_cast<const void*>(&TTS_StopText),
    reinterpret_cast<const void*>(&TTS_PauseText),
    reinterpret_cast<const void*>(&TTS_ResumeText),
    reinterpret_cast<const void*>(&TTS_DictLoad),
    reinterpret_cast<const void*>(&TTS_DictSave),
    reinterpret_cast<const void*>(&TTS_DictAdd),
    reinterpret_cast<const void*>(&TTS_DictUpdate),
    reinterpret_cast<const void*>(&TTS_DictDelete),
    reinterpret_cast<const void*>(&TTS_DictGetEntry),
    reinterpret_cast<const void*>(&TTS_DictGetInfo),
    reinterpret_cast<const void*>(&TTS_DictUnload),
    reinterpret_cast<const void*>(&TTS_SetPhonemeTrace),
    reinterpret_cast<const void*>(&TTS_GetNotificationFd),
    reinterpret_cast<const void*>(&WaveCallback),
    reinterpret_cast<const void*>(&RVCall),
};

const char kSentence[] = "Bom dia a todos.";
const char kLongText[] =
    "Era uma vez um menino que morava numa casa grande, perto do rio, e todas as tardes "
    "descia a rua para ver os barcos passarem devagar, sem pressa nenhuma de voltar.";

void CheckBeforeInit() {
    for (const void* function : kEveryExport) Check(function != nullptr, "every export is bound");
    CheckCode(TTS_PlayText(kSentence, 0), FV_NOT_INITIALISED, "TTS_PlayText before TTS_Init");
    Check(std::strcmp(RVCall("casa"), "kaza") == 0,
          std::string("RVCall(casa) before TTS_Init: ") + RVCall("casa"));
}

// A WAV of the sentence at rate samples a second; name is written twice,
// the second file taking the first one's place.
void CheckWav(uint32_t rate) {
    const std::string name = "engine_win_test.wav";
    DeleteFileA(name.c_str());
    CheckCode(TTS_GenPcm("Sim.", name.c_str(), 0, 0, 16), FV_OK, "TTS_GenPcm of a new file");
    CheckCode(TTS_GenPcm(kSentence, name.c_str(), 0, 0, 16), FV_OK, "TTS_GenPcm over that file");
    Check(GetFileAttributesA(".engine_win_test.wav.falavoz-tmp") == INVALID_FILE_ATTRIBUTES,
          "no temporary file left beside the WAV");
    const std::string wav = ReadFile(name);
    if (wav.size() < 44) {
        Check(false, "the WAV has a header: " + std::to_string(wav.size()) + " bytes");
        return;
    }
    Check(wav.compare(0, 4, "RIFF") == 0 && wav.compare(8, 8, "WAVEfmt ") == 0,
          "RIFF, WAVE and fmt in place");
    CheckCode(static_cast<int32_t>(Le32(wav, 4)), static_cast<int32_t>(wav.size() - 8), "RIFF size");
    Check(Le16(wav, 20) == 1 && Le16(wav, 22) == 1 && Le32(wav, 24) == rate && Le32(wav, 28) == 2 * rate &&
              Le16(wav, 32) == 2 && Le16(wav, 34) == 16,
          "16-bit mono PCM at " + std::to_string(rate) + " Hz");
    Check(wav.compare(36, 4, "data") == 0, "data chunk after fmt");
    const uint32_t data = Le32(wav, 40);
    CheckCode(static_cast<int32_t>(data), static_cast<int32_t>(wav.size() - 44), "data size");
    Check(data > 2 * rate, "more than a second of speech: " + std::to_string(data) + " bytes");
    bool sound = false;
    for (size_t k = 44; k + 1 < wav.size() && !sound; k += 2) sound = Le16(wav, k) != 0;
    Check(sound, "the speech is not silence");
    DeleteFileA(name.c_str());
}

void FV_CALL AppendLines(const char* lines, void* text) { *static_cast<std::string*>(text) += lines; }

void CheckPhonemeTrace() {
    std::string lines;
    CheckCode(TTS_SetPhonemeTrace(AppendLines, &lines, FV_TRACE_SYNTHESISE), FV_OK, "TTS_SetPhonemeTrace");
    CheckCode(TTS_GenPcm(kSentence, "NUL", 0, 0, 16), FV_OK, "TTS_GenPcm while traced");
    TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE);
    Check(lines.find("_ 200 50 ") == 0, "the trace opens with the pass's silence: " + lines.substr(0, 20));
    Check(lines.find("\r\n") != std::string::npos && lines.back() == '#', "CR LF lines, ended by the flush");
}

void CheckSynchronousSpeech() {
    const int calls = callbackCalls;
    const ULONGLONG start = GetTickCount64();
    CheckCode(TTS_PlayText("Ol\xE1.", 0), FV_OK, "synchronous TTS_PlayText");
    std::printf("synchronous speech took %llu ms\n", GetTickCount64() - start);
    CheckCode(callbackCalls, calls, "no callback for synchronous speech");
    CheckCode(TTS_StopText(), FV_INVALID_COMMAND, "TTS_StopText after synchronous speech");
}

void CheckAsynchronousSpeech() {
    const int calls = callbackCalls;
    CheckCode(TTS_PlayText(kSentence, 1), FV_OK, "asynchronous TTS_PlayText");
    CheckCode(TTS_PlayText(kSentence, 1), FV_BUSY, "a second text while speaking");
    CheckCode(TTS_PauseText(), FV_OK, "TTS_PauseText while speaking");
    DispatchFor(100);
    CheckCode(TTS_ResumeText(), FV_OK, "TTS_ResumeText");
    Check(DispatchUntil([&] { return callbackCalls > calls; }, 30000), "the callback comes within 30 s");
    CheckCode(callbackCalls, calls + 1, "one callback");
    CheckCode(lastCallbackResult, FV_OK, "the callback's result");
    DispatchFor(200);
    CheckCode(callbackCalls, calls + 1, "still one callback");
    CheckCode(TTS_PauseText(), FV_INVALID_COMMAND, "TTS_PauseText once speech ended");
}

void CheckStop() {
    const int calls = callbackCalls;
    CheckCode(TTS_PlayText(kLongText, 1), FV_OK, "asynchronous TTS_PlayText of a long text");
    DispatchFor(300);
    CheckCode(TTS_StopText(), FV_OK, "TTS_StopText while speaking");
    DispatchFor(1500);
    CheckCode(callbackCalls, calls, "no callback after a stop");
    CheckCode(TTS_StopText(), FV_INVALID_COMMAND, "TTS_StopText once stopped");
    // The engine is free for the next text.
    CheckCode(TTS_PlayText("Sim.", 1), FV_OK, "the next text after a stop");
    Check(DispatchUntil([&] { return callbackCalls > calls; }, 30000),
          "the next text ends with its callback");
}

// Without a device, speech fails with the device's code (Wine's wave
// mapper answers "bad device", which is no code of its own: -10) and leaves
// the engine free.
void CheckSpeechWithoutDevice() {
    for (uint8_t asynchronous : {0, 1}) {
        const int32_t result = TTS_PlayText(kSentence, asynchronous);
        Check(result == FV_NO_DEVICE || result == FV_DEVICE_OPEN_ERROR,
              "speech without a device: " + std::to_string(result));
        CheckCode(TTS_StopText(), FV_INVALID_COMMAND, "not busy after speech without a device");
    }
}

int RunChecks() {
    CheckBeforeInit();
    const bool haveDevice = waveOutGetNumDevs() > 0;
    if (!haveDevice) {
        std::printf("the system has no wave-out device\n");
        CheckCode(TTS_Init(1, OnSpeechEnd, 0), FV_NO_DEVICE, "TTS_Init with the device check and no device");
    }
    CheckCode(TTS_Init(haveDevice ? 1 : 0, OnSpeechEnd, 0), FV_OK, "TTS_Init");
    CheckCode(TTS_GetNotificationFd(), -1, "TTS_GetNotificationFd (the hidden window serves instead)");
    CheckCode(TTS_Init(0, OnSpeechEnd, 1), FV_OK, "TTS_Init with the 8 kHz voice");
    CheckWav(8000);
    CheckCode(TTS_Init(haveDevice ? 1 : 0, OnSpeechEnd, 0), FV_OK, "TTS_Init with the 16 kHz voice");
    CheckWav(16000);
    CheckPhonemeTrace();
    if (haveDevice) {
        CheckSynchronousSpeech();
        CheckAsynchronousSpeech();
        CheckStop();
    } else {
        CheckSpeechWithoutDevice();
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

int Transcribe(const char* input, const char* output) {
    if (TTS_Init(0, nullptr, 0) != FV_OK) return 2;
    std::ifstream in(input, std::ios::binary);
    std::ofstream out(output, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out << Cp1252ToUtf8(RVCall(Utf8ToCp1252(line).c_str())) << '\n';
    }
    return out ? 0 : 2;
}

// Each text handed to the trace as falavoz --pho prints it: UTF-8, LF line
// ends, and a line end after the last line of each text.
void FV_CALL AppendUnixLines(const char* lines, void* text) {
    std::string out;
    for (char c : Cp1252ToUtf8(lines))
        if (c != '\r') out += c;
    if (!out.empty() && out.back() != '\n') out += '\n';
    *static_cast<std::string*>(text) += out;
}

int PrintPhonemeLines(const char* text, const char* output) {
    if (TTS_Init(0, nullptr, 0) != FV_OK) return 2;
    std::string lines;
    TTS_SetPhonemeTrace(AppendUnixLines, &lines, 0);
    const int result = TTS_GenPcm(text, "NUL", 0, 0, 16);
    std::ofstream(output, std::ios::binary) << lines;
    return result == FV_OK ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 4 && std::strcmp(argv[1], "--transcribe") == 0) return Transcribe(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--pho") == 0) return PrintPhonemeLines(argv[2], argv[3]);
    return RunChecks();
}
