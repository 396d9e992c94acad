// The engine behind the module: speaks a message as a series of texts for
// its asynchronous chain, and tells the server where the speech is.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ModuleProtocol.h"
#include "Ssml.h"

// A speech-dispatcher value from -100 to 100 on the engine's scale of 1 to 20
// (0 is the engine's middle, 10).
int EngineScale(int value);
// speech-dispatcher's volume on the engine's: 0 and above is full volume.
int EngineVolume(int value);

class Speaker : public SpeechBackend {
public:
    // event gets each line of the events (begin, end, marks...).
    explicit Speaker(std::function<void(const std::string&)> event);

    std::string Init() override;
    bool Speak(MessageKind kind, const std::string& text) override;
    void Stop() override;
    void Pause() override;
    bool Set(const std::string& name, const std::string& value) override;
    std::vector<Voice> Voices() const override;

    // Goes on with the message after a reply, a completion of the engine or a
    // wait: starts the next text, reports marks and the end.
    void Advance();
    // The engine is still ending a stopped text: call Advance again soon.
    bool WaitsForTheEngine() const { return waitingForEngine_; }

private:
    void CutSpeech();
    void ApplySettings();
    void EndMessage(const char* event);

    std::function<void(const std::string&)> event_;
    std::deque<SpeechPart> parts_;
    bool inMessage_ = false;
    bool beginDue_ = false;
    bool playing_ = false;
    bool waitingForEngine_ = false;
    bool stopEventDue_ = false;

    // Settings as the server gave them; the engine takes them when a message starts.
    int rate_ = 0, pitch_ = 0, volume_ = 0;
    bool readQuotes_ = false;
    bool spelling_ = false;
    bool voice8k_ = false, engineVoice8k_ = false;
};
