#include "Options.h"

#include <cstdio>
#include <cstdlib>

#include "ExitStatus.h"
#include "falavoz32.h"

namespace {

const char* const kUsage =
    "Uso: falavoz [opções] [TEXTO...]\n"
    "Fala um texto em português. O texto são os argumentos unidos por espaços,\n"
    "ou a entrada padrão quando não há argumentos.\n"
    "\n"
    "Opções:\n"
    "  -f ARQUIVO      lê o texto de um arquivo (UTF-8; veja --cp1252)\n"
    "      --cp1252    o arquivo de -f está em Windows-1252\n"
    "      --ssml      o texto é SSML: pausas, velocidade, altura, soletração\n"
    "  -w ARQUIVO      grava a fala num arquivo WAV em vez de falar\n"
    "      --stdout    escreve o WAV na saída padrão, para outro programa:\n"
    "                  falavoz --stdout 'Olá' | aplay\n"
    "      --bits 8    grava amostras de 8 bits (o padrão é 16)\n"
    "      --pieces    grava um arquivo por trecho: ARQUIVO-001.wav, -002.wav, ...\n"
    "  -q              não mostra o progresso da gravação (que só aparece quando\n"
    "                  a saída de erros é um terminal)\n"
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
    "      --letter-rules  lê as palavras de fora do léxico e do dicionário só pelas\n"
    "                  regras de letras e de acento, sem a etapa das palavras\n"
    "                  desconhecidas (para comparar as regras com outros leitores)\n"
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
    "  falavoz --stdout -f capitulo.txt | sox -t wav - capitulo.ogg\n"
    "  printf 'casa\\nchuva\\n' | falavoz -x\n"
    "\n"
    "O manual completo: man falavoz\n";

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

// The combinations of options that make no sense together.
void CheckCombination(const Options& options) {
    if (options.inputFile && !options.words.empty()) throw UsageError{"use -f ou um texto, não os dois"};
    if ((options.pieces || options.bits != 16) && options.action != Action::Wav)
        throw UsageError{"--bits vale só com -w ou --stdout, e --pieces só com -w"};
    if (options.toStandardOutput && options.action != Action::Wav)
        throw UsageError{"--stdout vale só para gravar a fala, não com -x, --pho, --phones ou --sing"};
    if (options.toStandardOutput && !options.wavFile.empty())
        throw UsageError{"use -w ou --stdout, não os dois"};
    if (options.toStandardOutput && options.pieces) throw UsageError{"--pieces grava arquivos: use-o com -w"};
    if (options.asynchronous && options.action != Action::Speak && options.action != Action::Sing)
        throw UsageError{"--async vale só para falar ou cantar"};
    if (options.action == Action::Sing && (options.inputFile || !options.words.empty()))
        throw UsageError{"--sing não recebe texto"};
}

}  // namespace

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
            options.action = Action::ShowHelp;
            return options;
        } else if (arg == "--version") {
            options.action = Action::ShowVersion;
            return options;
        } else if (arg == "-f") {
            options.inputFile = needValue(i, arg);
        } else if (arg == "--cp1252") {
            options.cp1252Input = true;
        } else if (arg == "--ssml") {
            options.ssml = true;
        } else if (arg == "-w") {
            options.wavFile = needValue(i, arg);
            options.action = Action::Wav;
        } else if (arg == "--stdout") {
            options.toStandardOutput = true;
            options.action = Action::Wav;
        } else if (arg == "-q") {
            options.quiet = true;
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
        } else if (arg == "--letter-rules") {
            options.engineOptions.push_back({FV_OPTION_LETTER_RULES, 1});
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
    CheckCombination(options);
    return options;
}

void PrintHelp() { std::fputs(kUsage, stdout); }

void PrintVersion() { std::printf("falavoz %s\n", FALAVOZ_VERSION); }

int ReportUsageError(const UsageError& error) {
    std::fprintf(stderr, "falavoz: %s\nUse falavoz --help para ver as opções.\n", error.message.c_str());
    return kExitUsage;
}
