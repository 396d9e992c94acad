// SSML read into what the engine speaks: text in Windows-1252 with the
// engine's control sequences, cut at the marks the speech must report.
#pragma once

#include <string>
#include <vector>

// One step of the speech: a text for TTS_PlayText, or a mark to report once
// the text before it has been heard.
struct SpeechPart {
    enum class Kind { Text, Mark };
    Kind kind = Kind::Text;
    std::string value;  // the text (Windows-1252), or the mark's name (UTF-8)
};

// The engine reports no place inside a text, so a mark ends one text and the
// next text starts after it, with the rate and pitch then in force. A break
// just before a mark goes before the text that follows it. Anything that is
// not well-formed markup is read as text; no input makes it fail.
std::vector<SpeechPart> SsmlToSpeech(const std::string& ssml);

// The whole text, marks left out, for hosts that report none.
std::string SsmlToText(const std::string& ssml);

// Text (UTF-8) the engine must read as it stands: in Windows-1252, with
// whatever would read as a control sequence kept as text.
std::string PlainTextForEngine(const std::string& text);

// A Windows-1252 text spelled out character by character: a run of letters
// as dotted initials, which the engine spells, and every other character on
// its own. Control sequences in it stay text.
std::string SpelledOut(const std::string& cp1252);
