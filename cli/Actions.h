// What the program does with its text, once the options are read: the engine
// started as the options say, then one action, each ending in an exit status.
#pragma once

#include <string>

#include "Options.h"

// Starts the engine and sets it up as the options say: language file, voice,
// speed, volume and pitch, engine options and dictionary. The engine's result
// code: 0 when the action can go ahead.
int StartEngine(const Options& options);

// Carries out options.action on the text (Windows-1252, CR LF line ends);
// the exit status.
int RunAction(const Options& options, const std::string& text);

// Whether the action sounds through the sound card.
bool IsAloud(Action action);
