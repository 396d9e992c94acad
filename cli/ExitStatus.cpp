#include "ExitStatus.h"

#include <cstdio>
#include <string>

#include "Messages.h"

int Fail(int engineResult) {
    std::string message = MessageForCode(engineResult);
    if (message.empty()) message = "Erro " + std::to_string(engineResult) + " do Falavoz";
    std::fprintf(stderr, "falavoz: %s\n", message.c_str());
    return kExitError;
}

int ExitStatusOf(int engineResult) { return engineResult == 0 ? 0 : Fail(engineResult); }

int ExitStatusAfterOutput(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "falavoz: Erro ao escrever na saída padrão\n");
    return status != 0 ? status : kExitError;
}
