// falavoz: speaks Portuguese text, writes it to WAV files, or prints its
// phone transcription or the phoneme lines the engine sends to the voice.
#include <optional>
#include <string>

#include "Actions.h"
#include "ExitStatus.h"
#include "HostLoop.h"
#include "InputText.h"
#include "Options.h"
#include "System.h"
#include "falavoz32.h"

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& error) {
        return ReportUsageError(error);
    }
    // A WAV is no sight for a terminal (and its bytes may upset it).
    if (options.toStandardOutput && StandardOutputIsTerminal())
        return ReportUsageError(
            UsageError{"--stdout não escreve num terminal: mande o WAV a outro programa "
                       "(| aplay) ou a um arquivo (> fala.wav)"});
    // Help and version need neither a text nor the engine.
    if (options.action == Action::ShowHelp || options.action == Action::ShowVersion)
        return ExitStatusAfterOutput(RunAction(options, ""));

    std::optional<std::string> text =
        options.action == Action::Sing ? std::optional<std::string>("") : ReadInput(options);
    if (!text) return Fail(FV_OPEN_ERROR);

    if (IsAloud(options.action)) StopSpeechOnInterrupt();
    const int result = StartEngine(options);
    if (result != 0) return Fail(result);
    return ExitStatusAfterOutput(RunAction(options, *text));
}
