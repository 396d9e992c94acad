#include "ModuleProtocol.h"

#include <map>
#include <utility>

namespace {

const std::map<std::string, SpeechBackend::MessageKind> kMessageCommands = {
    {"SPEAK", SpeechBackend::MessageKind::Ssml},
    {"CHAR", SpeechBackend::MessageKind::Character},
    {"KEY", SpeechBackend::MessageKind::Key},
    {"SOUND_ICON", SpeechBackend::MessageKind::SoundIcon}};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t k = 0; k < lines.size(); ++k) text += (k ? "\n" : "") + lines[k];
    return text;
}

}  // namespace

ModuleProtocol::ModuleProtocol(SpeechBackend& backend, std::function<void(const std::string&)> write)
    : backend_(backend), write_(std::move(write)) {}

bool ModuleProtocol::HandleLine(const std::string& line) {
    if (block_ == Block::None) {
        if (line == "QUIT") {
            backend_.Stop();
            write_("210 OK QUIT");
            return false;
        }
        StartCommand(line);
    } else if (line == ".") {
        EndBlock();
    } else {
        // The server doubles the dot of a line of the message that starts with one.
        lines_.push_back(line.rfind("..", 0) == 0 ? line.substr(1) : line);
    }
    return true;
}

void ModuleProtocol::StartCommand(const std::string& command) {
    lines_.clear();
    if (!initialised_) {
        if (command != "INIT") {
            write_("302 ERROR BAD SYNTAX");
            return;
        }
        const std::string failure = backend_.Init();
        if (!failure.empty()) {
            write_("399-" + failure);
            write_("399 ERR CANT INIT MODULE");
            return;
        }
        initialised_ = true;
        write_("299-Falavoz pronto");
        write_("299 OK LOADED SUCCESSFULLY");
        return;
    }
    if (auto message = kMessageCommands.find(command); message != kMessageCommands.end()) {
        block_ = Block::Message;
        messageKind_ = message->second;
        write_("202 OK RECEIVING MESSAGE");
    } else if (command == "SET") {
        block_ = Block::Settings;
        write_("203 OK RECEIVING SETTINGS");
    } else if (command == "AUDIO") {
        block_ = Block::Audio;
        write_("207 OK RECEIVING AUDIO SETTINGS");
    } else if (command == "LOGLEVEL") {
        block_ = Block::LogLevel;
        write_("207 OK RECEIVING LOGLEVEL SETTINGS");
    } else if (command == "STOP") {
        backend_.Stop();  // no reply: the STOP event answers it
    } else if (command == "PAUSE") {
        backend_.Pause();
    } else if (command == "LIST VOICES") {
        for (const SpeechBackend::Voice& voice : backend_.Voices())
            write_("200-" + voice.name + "\t" + voice.language + "\tnone");
        write_("200 OK VOICE LIST SENT");
    } else if (command.rfind("DEBUG", 0) == 0) {
        write_("200 OK DEBUGGING " + std::string(command.find("ON") != std::string::npos ? "ON" : "OFF"));
    } else {
        write_("300 ERR UNKNOWN COMMAND");
    }
}

void ModuleProtocol::EndBlock() {
    const Block block = std::exchange(block_, Block::None);
    if (block == Block::Message) {
        const bool oneLine = messageKind_ == SpeechBackend::MessageKind::Ssml || lines_.size() <= 1;
        if (!oneLine)
            write_("305 DATA MORE THAN ONE LINE");
        else
            write_(backend_.Speak(messageKind_, Joined(lines_)) ? "200 OK SPEAKING" : "301 ERROR CANT SPEAK");
    } else if (block == Block::Settings) {
        bool accepted = true;
        for (const std::string& line : lines_) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos)
                accepted = false;
            else
                accepted = backend_.Set(line.substr(0, equals), line.substr(equals + 1)) && accepted;
        }
        write_(accepted ? "203 OK SETTINGS RECEIVED" : "303 ERROR INVALID PARAMETER OR VALUE");
    } else if (block == Block::Audio) {
        // The engine plays through its own audio device.
        write_("203 OK AUDIO INITIALIZED");
    } else {
        write_("203 OK LOGLEVEL SET");
    }
    lines_.clear();
}
