// The program's exit statuses, and the report of an engine failure.
#pragma once

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;  // as a shell reports a Ctrl+C

// Says in Portuguese on the standard error what the engine's result code
// means; kExitError.
int Fail(int engineResult);
// 0 for a successful result, else Fail(engineResult).
int ExitStatusOf(int engineResult);
