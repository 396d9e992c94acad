// The command line: what the program is asked to do, and --help.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class Action { Speak, Wav, Transcribe, PhonemeLines, Sing, Phones, ShowHelp, ShowVersion };

struct Options {
    Action action = Action::Speak;
    std::vector<std::string> words;
    std::optional<std::string> inputFile;
    bool cp1252Input = false;
    bool ssml = false;
    std::string wavFile;
    bool toStandardOutput = false;  // the WAV goes to the standard output
    bool quiet = false;             // no progress line
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

// A command line the program cannot follow; the message says why.
struct UsageError {
    std::string message;
};

// The options of a command line; -h, --help and --version end the reading
// there. Throws UsageError.
Options ParseArguments(int argc, char** argv);

void PrintHelp();
void PrintVersion();
// Reports a usage error on the standard error; kExitUsage.
int ReportUsageError(const UsageError& error);
