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
// The status once what the program printed has reached the standard output:
// a failed write (a full disk, a closed pipe) is reported and ends in
// kExitError when the status was a success.
int ExitStatusAfterOutput(int status);
