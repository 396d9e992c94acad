// speech-dispatcher's output module protocol: the commands the server writes
// on the module's standard input, one line each (settings and messages in
// blocks that end with a line "."), and the replies the module gives.
#pragma once

#include <functional>
#include <string>
#include <vector>

// What the server asks of a synthesiser; the protocol knows nothing of the
// engine behind it.
class SpeechBackend {
public:
    enum class MessageKind { Ssml, Character, Key, SoundIcon };
    struct Voice {
        std::string name, language;
    };

    virtual ~SpeechBackend() = default;
    // An empty string when the synthesiser is ready, else why not.
    virtual std::string Init() = 0;
    // false when the message cannot be spoken.
    virtual bool Speak(MessageKind kind, const std::string& text) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    // false for a value the setting cannot take.
    virtual bool Set(const std::string& name, const std::string& value) = 0;
    virtual std::vector<Voice> Voices() const = 0;
};

class ModuleProtocol {
public:
    // write gets each line of a reply, without its line end.
    ModuleProtocol(SpeechBackend& backend, std::function<void(const std::string&)> write);

    // Handles one line of the server's (its line end removed); false once
    // the server has said QUIT.
    bool HandleLine(const std::string& line);

private:
    enum class Block { None, Settings, Audio, LogLevel, Message };

    void StartCommand(const std::string& command);
    void EndBlock();

    SpeechBackend& backend_;
    std::function<void(const std::string&)> write_;
    bool initialised_ = false;
    Block block_ = Block::None;
    SpeechBackend::MessageKind messageKind_ = SpeechBackend::MessageKind::Ssml;
    std::vector<std::string> lines_;
};
