// falavoz: speaks Portuguese text, writes it to WAV files, or prints its
// phone transcription or the phoneme lines the engine sends to the voice.
#include <poll.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Encoding.h"
#include "Messages.h"
#include "falavoz32.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;  // as a shell reports a Ctrl+C

const char* const kUsage =
    "Uso: falavoz [opções] [TEXTO...]\n"
    "Fala um texto em português. O texto são os argumentos unidos por espaços,\n"
    "ou a entrada padrão quando não há argumentos.\n"
    "\n"
    "Opções:\n"
    "  -f ARQUIVO      lê o texto de um arquivo (UTF-8; veja --cp1252)\n"
    "      --cp1252    o arquivo de -f está em Windows-1252\n"
    "  -w ARQUIVO      grava a fala num arquivo WAV em vez de falar\n"
    "      --bits 8    grava amostras de 8 bits (o padrão é 16)\n"
    "      --pieces    grava um arquivo por trecho: ARQUIVO-001.wav, -002.wav, ...\n"
    "      --async     fala pela cadeia assíncrona do motor, como um programa com janela\n"
    "      --sing ARQUIVO  canta uma melodia (linhas de fonemas .pho)\n"
    "  -x              escreve a transcrição fonética de cada linha do texto\n"
    "      --pho       escreve as linhas de fonemas enviadas à voz, sem produzir som\n"
    "      --phones    escreve, para cada linha do texto, os fones como são falados:\n"
    "                  depois da gramática, da abertura das vogais e das regras finais,\n"
    "                  com as vogais de transição e sem as pausas (\"e\", \"o\", \"h\" e \"@\"\n"
    "                  valem também por \"ê\", \"ô\", \"H\" e \"ã\", que a voz não distingue)\n"
    "  -d ARQUIVO      usa o dicionário de exceções do arquivo (Windows-1252; uma\n"
    "                  palavra, TAB e a transcrição por linha)\n"
    "      --lng ARQUIVO  usa outro arquivo de dados da língua em vez de brport.lng\n"
    "                  (o mesmo que a variável de ambiente FALAVOZ_LNG)\n"
    "  -s N            velocidade, de 1 (lenta) a 20 (rápida); padrão 10\n"
    "  -p N            altura da voz, de 1 a 20; padrão 10\n"
    "  -a N            volume, de 1 a 20; padrão 20\n"
    "      --8k        usa a voz de 8 kHz\n"
    "      --option N=V  ajusta a opção N do motor para o valor V\n"
    "  -h, --help      mostra esta ajuda\n"
    "      --version   mostra a versão\n"
    "\n"
    "Exemplos:\n"
    "  falavoz -w ola.wav 'Olá, mundo.'\n"
    "  printf 'casa\\nchuva\\n' | falavoz -x\n";

enum class Action { Speak, Wav, Transcribe, PhonemeLines, Sing, Phones };

struct Options {
    Action action = Action::Speak;
    std::vector<std::string> words;
    std::optional<std::string> inputFile;
    bool cp1252Input = false;
    std::string wavFile;
    int bits = 16;
    bool pieces = false;
    int speed = 10, pitch = 10, volume = 20;
    bool voice8k = false;
    std::vector<std::pair<int, int>> engineOptions;
    bool asynchronous = false;
    std::string melodyFile;
    std::string dictionaryFile;
    std::string languageFile;
};

struct UsageError {
    std::string message;
};

int ParseScale(const std::string& flag, const std::string& value) {
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end || n < 1 || n > 20) throw UsageError{flag + " espera um número de 1 a 20"};
    return static_cast<int>(n);
}

std::pair<int, int> ParseEngineOption(const std::string& text) {
    size_t equals = text.find('=');
    char* end = nullptr;
    if (equals != std::string::npos) {
        std::string number = text.substr(0, equals), value = text.substr(equals + 1);
        long n = std::strtol(number.c_str(), &end, 10);
        if (!number.empty() && !*end) {
            long v = std::strtol(value.c_str(), &end, 10);
            if (!value.empty() && !*end) return {static_cast<int>(n), static_cast<int>(v)};
        }
    }
    throw UsageError{"--option espera N=V, por exemplo --option 2=0"};
}

Options ParseArguments(int argc, char** argv) {
    Options options;
    auto needValue = [&](int& i, const std::string& flag) -> std::string {
        if (i + 1 >= argc) throw UsageError{flag + " precisa de um valor"};
        return argv[++i];
    };
    bool onlyText = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (onlyText || arg.empty() || arg[0] != '-' || arg == "-") {
            options.words.push_back(arg);
        } else if (arg == "--") {
            onlyText = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "--version") {
            std::printf("falavoz %s\n", FALAVOZ_VERSION);
            std::exit(0);
        } else if (arg == "-f") {
            options.inputFile = needValue(i, arg);
        } else if (arg == "--cp1252") {
            options.cp1252Input = true;
        } else if (arg == "-w") {
            options.wavFile = needValue(i, arg);
            options.action = Action::Wav;
        } else if (arg == "--bits") {
            std::string bits = needValue(i, arg);
            if (bits != "8" && bits != "16") throw UsageError{"--bits espera 8 ou 16"};
            options.bits = std::stoi(bits);
        } else if (arg == "--pieces") {
            options.pieces = true;
        } else if (arg == "-x") {
            options.action = Action::Transcribe;
        } else if (arg == "--pho") {
            options.action = Action::PhonemeLines;
        } else if (arg == "--phones") {
            options.action = Action::Phones;
        } else if (arg == "-d") {
            options.dictionaryFile = needValue(i, arg);
        } else if (arg == "--lng") {
            options.languageFile = needValue(i, arg);
        } else if (arg == "--async") {
            options.asynchronous = true;
        } else if (arg == "--sing") {
            options.melodyFile = needValue(i, arg);
            options.action = Action::Sing;
        } else if (arg == "-s") {
            options.speed = ParseScale(arg, needValue(i, arg));
        } else if (arg == "-p") {
            options.pitch = ParseScale(arg, needValue(i, arg));
        } else if (arg == "-a") {
            options.volume = ParseScale(arg, needValue(i, arg));
        } else if (arg == "--8k") {
            options.voice8k = true;
        } else if (arg == "--option") {
            options.engineOptions.push_back(ParseEngineOption(needValue(i, arg)));
        } else {
            throw UsageError{"opção desconhecida: " + arg};
        }
    }
    if (options.inputFile && !options.words.empty()) throw UsageError{"use -f ou um texto, não os dois"};
    if ((options.pieces || options.bits != 16) && options.action != Action::Wav)
        throw UsageError{"--bits e --pieces valem só com -w"};
    if (options.asynchronous && options.action != Action::Speak && options.action != Action::Sing)
        throw UsageError{"--async vale só para falar ou cantar"};
    if (options.action == Action::Sing && (options.inputFile || !options.words.empty()))
        throw UsageError{"--sing não recebe texto"};
    return options;
}

// Lines end in CR LF, as the engine reads them from files, so that each line
// break ends a sentence chunk.
std::string WithCrLfLineEnds(const std::string& text) {
    std::string out;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
        if (text[k] == '\n') out += '\r';
        out += text[k];
    }
    return out;
}

// The text to speak, in Windows-1252. nullopt when the file cannot be read.
std::optional<std::string> ReadInput(const Options& options) {
    std::string text;
    bool convert = true;
    if (options.inputFile) {
        std::ifstream in(*options.inputFile, std::ios::binary);
        if (!in) return std::nullopt;
        text.assign(std::istreambuf_iterator<char>(in), {});
        if (in.bad()) return std::nullopt;
        convert = !options.cp1252Input;
    } else if (!options.words.empty()) {
        for (size_t k = 0; k < options.words.size(); ++k) text += (k ? " " : "") + options.words[k];
    } else {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
    }
    if (convert) text = Utf8ToCp1252(text);
    return WithCrLfLineEnds(text);
}

int Fail(int code) {
    std::string message = MessageForCode(code);
    if (message.empty()) message = "Erro " + std::to_string(code) + " do Falavoz";
    std::fprintf(stderr, "falavoz: %s\n", message.c_str());
    return kExitError;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

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

int PrintPhonemes(const std::string& text) {
    TTS_SetPhonemeTrace(PrintPhonemeLines, nullptr, 0);
    int result = TTS_GenPcm(text.c_str(), "/dev/null", 0, 0, 16);
    TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE);
    return result == 0 ? 0 : Fail(result);
}

void FV_CALL AppendPhone(const char* symbol, void* phones) { *static_cast<std::string*>(phones) += symbol; }

// Each input line is rendered silently on its own, and the engine hands over
// the phones it rendered.
int PrintPhones(const std::string& text) {
    std::string phones;
    TTS_SetPhonemeTrace(AppendPhone, &phones, FV_TRACE_PHONES);
    int result = 0;
    for (const std::string& line : Lines(text)) {
        phones.clear();
        if ((result = TTS_GenPcm(line.c_str(), "/dev/null", 0, 0, 16)) != 0) break;
        std::printf("%s\n", Cp1252ToUtf8(phones).c_str());
    }
    TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE);
    return result == 0 ? 0 : Fail(result);
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

std::string PieceFileName(const std::string& file, int number) {
    std::string stem = file;
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".wav") == 0) stem.resize(stem.size() - 4);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%03d.wav", number);
    return stem + suffix;
}

int WriteWav(const Options& options, const std::string& text) {
    if (!options.pieces) {
        int result = TTS_GenPcm(text.c_str(), options.wavFile.c_str(), 0, 0, options.bits);
        return result == 0 ? 0 : Fail(result);
    }
    int result = 0;
    for (int number = 1; result == 0; ++number) {
        std::string name = PieceFileName(options.wavFile, number);
        result = TTS_GenPcm(text.c_str(), name.c_str(), 0, number == 1 ? 1 : 2, options.bits);
        if (result == 0 || result == FV_NO_MORE_PIECES) std::fprintf(stderr, "%s\n", name.c_str());
    }
    return result == FV_NO_MORE_PIECES ? 0 : Fail(result);
}

// Ctrl+C (or SIGTERM) while speaking stops the speech and ends the program
// the ordinary way, so that the engine and its voice close cleanly.
volatile std::sig_atomic_t interrupted = 0;
// Set while a synchronous call waits inside the engine: then only the
// handler can stop it, and the engine allows TTS_StopText there.
volatile std::sig_atomic_t waitingInEngine = 0;

void OnInterrupt(int signal) {
    if (interrupted) {
        // A second Ctrl+C does not wait any longer.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    interrupted = 1;
    if (waitingInEngine) TTS_StopText();
}

void CatchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The end of asynchronous speech or singing, as the engine reports it.
bool speechEnded = false;
int speechResult = 0;

void FV_CALL OnSpeechEnd(int32_t, int32_t result, int32_t) {
    speechEnded = true;
    speechResult = result;
}

// What a host program's message loop does: waits on the engine's
// notification descriptor and hands each completion back to the engine,
// until the engine reports the end. A Ctrl+C stops the speech from here.
int PumpUntilTheEnd() {
    sigset_t interrupts, unblocked;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    // Blocked except inside ppoll, so a Ctrl+C is never missed between the
    // check and the wait.
    sigprocmask(SIG_BLOCK, &interrupts, &unblocked);
    const int fd = TTS_GetNotificationFd();
    while (!speechEnded && !interrupted) {
        pollfd notification = {fd, POLLIN, 0};
        if (ppoll(&notification, 1, nullptr, &unblocked) > 0) WaveCallback(0, 0, 0, 957, 0);
    }
    if (interrupted && !speechEnded) TTS_StopText();  // ends the chain at once, without the callback
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    if (interrupted) return kExitInterrupted;
    return speechResult == 0 ? 0 : Fail(speechResult);
}

// Speaks (or sings, with `sing`) synchronously or through the asynchronous chain.
int Perform(const Options& options, const std::string& text, bool sing) {
    if (interrupted) return kExitInterrupted;
    const uint8_t asynchronous = options.asynchronous ? 1 : 0;
    waitingInEngine = !asynchronous;
    int result = sing ? TTS_PlayMusic(options.melodyFile.c_str(), 0, asynchronous)
                      : TTS_PlayText(text.c_str(), asynchronous);
    waitingInEngine = 0;
    // An asynchronous start that failed has ended already.
    if (asynchronous && result == 0) return PumpUntilTheEnd();
    if (interrupted) return kExitInterrupted;
    return result == 0 ? 0 : Fail(result);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "falavoz: %s\nUse falavoz --help para ver as opções.\n", error.message.c_str());
        return kExitUsage;
    }

    std::optional<std::string> text =
        options.action == Action::Sing ? std::optional<std::string>("") : ReadInput(options);
    if (!text) return Fail(FV_OPEN_ERROR);

    const bool aloud = options.action == Action::Speak || options.action == Action::Sing;
    if (aloud) CatchInterrupts();
    if (!options.languageFile.empty()) setenv("FALAVOZ_LNG", options.languageFile.c_str(), 1);
    int result = TTS_Init(aloud, OnSpeechEnd, options.voice8k ? 1 : 0);
    bool needsVoice = aloud || options.action == Action::Wav;
    if (result == FV_INIT_ERROR || result == FV_NO_DEVICE || (result != 0 && needsVoice)) return Fail(result);
    result = TTS_SetMode(static_cast<uint8_t>(options.speed), static_cast<uint8_t>(options.volume),
                         static_cast<uint8_t>(options.pitch));
    if (result != 0) return Fail(result);
    for (auto [option, value] : options.engineOptions)
        if ((result = TTS_SetOption(option, value)) != 0) return Fail(result);
    if (!options.dictionaryFile.empty() && (result = LoadDictionary(options.dictionaryFile)) != 0)
        return Fail(result);

    switch (options.action) {
        case Action::Transcribe:
            return Transcribe(*text);
        case Action::PhonemeLines:
            return PrintPhonemes(*text);
        case Action::Phones:
            return PrintPhones(*text);
        case Action::Wav:
            return WriteWav(options, *text);
        case Action::Speak:
            return Perform(options, *text, false);
        case Action::Sing:
            return Perform(options, *text, true);
    }
    return 0;
}
