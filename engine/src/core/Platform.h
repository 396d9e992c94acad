// The few things the engine asks of the operating system.
#pragma once

#include <string>

// Directory of the running program, without a trailing separator; empty if
// unknown.
std::string ExecutableDirectory();
// Where installed data lives (FALAVOZ_DATA overrides): stands in for the
// system directory as the fallback place of the data and voice files.
std::string SystemDataDirectory();
// Joins a directory and a file name; a bare name when the directory is empty.
std::string JoinPath(const std::string& directory, const std::string& name);
bool FileExists(const std::string& path);
// The system's decimal separator (LC_NUMERIC), ',' when it cannot be read.
char SystemDecimalSeparator();
// A message the engine would show in a message box (Windows-1252 text);
// here on standard error, in UTF-8.
void ShowMessage(const std::string& text);
// The voice channels the diphone library offers, and choosing the one its
// functions act on (0 when it went well). The Linux library runs one mbrola
// per channel; MBROLA's own Windows library knows no channels, so there the
// answer is one channel.
int DiphoneLibraryChannels();
int SelectDiphoneLibraryChannel(int channel);
