// The module's side of speech-dispatcher's protocol, over a synthesiser that
// only records what it is asked; and the settings on the engine's scales.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModuleProtocol.h"
#include "Speaker.h"
#include "SpokenSymbols.h"

namespace {

class RecordingBackend : public SpeechBackend {
public:
    std::vector<std::string> calls;
    std::string initFailure;

    std::string Init() override {
        calls.push_back("init");
        return initFailure;
    }
    bool Speak(MessageKind kind, const std::string& text) override {
        calls.push_back("speak " + std::to_string(static_cast<int>(kind)) + " " + text);
        return true;
    }
    void Stop() override { calls.push_back("stop"); }
    void Pause() override { calls.push_back("pause"); }
    bool Set(const std::string& name, const std::string& value) override {
        calls.push_back("set " + name + "=" + value);
        return name != "rate" || value != "x";
    }
    std::vector<Voice> Voices() const override { return {{"br1", "pt-BR"}}; }
};

struct Session {
    RecordingBackend backend;
    std::vector<std::string> replies;
    ModuleProtocol protocol{backend, [this](const std::string& line) { replies.push_back(line); }};

    // Sends the lines and returns the replies they got.
    std::vector<std::string> Send(const std::vector<std::string>& lines) {
        replies.clear();
        for (const std::string& line : lines) protocol.HandleLine(line);
        return replies;
    }
};

using Lines = std::vector<std::string>;

TEST(ModuleProtocol, InitComesFirstAndReportsFailure) {
    Session s;
    EXPECT_EQ(s.Send({"SPEAK"}), (Lines{"302 ERROR BAD SYNTAX"}));
    s.backend.initFailure = "Erro ao inicializar o Falavoz";
    EXPECT_EQ(s.Send({"INIT"}), (Lines{"399-Erro ao inicializar o Falavoz", "399 ERR CANT INIT MODULE"}));
    s.backend.initFailure.clear();
    EXPECT_EQ(s.Send({"INIT"}).back(), "299 OK LOADED SUCCESSFULLY");
}

TEST(ModuleProtocol, MessagesSettingsAndCommands) {
    Session s;
    s.Send({"INIT"});
    EXPECT_EQ(s.Send({"SPEAK", "<speak>linha um", "..ponto", "fim</speak>", "."}),
              (Lines{"202 OK RECEIVING MESSAGE", "200 OK SPEAKING"}));
    EXPECT_EQ(s.backend.calls.back(), "speak 0 <speak>linha um\n.ponto\nfim</speak>");
    EXPECT_EQ(s.Send({"CHAR", "a", "b", "."}).back(), "305 DATA MORE THAN ONE LINE");
    s.Send({"KEY", "shift_a", "."});
    EXPECT_EQ(s.backend.calls.back(), "speak 2 shift_a");
    EXPECT_EQ(s.Send({"SET", "rate=20", "language=pt-BR", "."}),
              (Lines{"203 OK RECEIVING SETTINGS", "203 OK SETTINGS RECEIVED"}));
    EXPECT_EQ(s.Send({"SET", "rate=x", "semigual", "."}).back(), "303 ERROR INVALID PARAMETER OR VALUE");
    EXPECT_EQ(s.Send({"AUDIO", "audio_output_method=alsa", "."}),
              (Lines{"207 OK RECEIVING AUDIO SETTINGS", "203 OK AUDIO INITIALIZED"}));
    EXPECT_EQ(s.Send({"LIST VOICES"}), (Lines{"200-br1\tpt-BR\tnone", "200 OK VOICE LIST SENT"}));
    // STOP and PAUSE get no reply: their events answer them.
    EXPECT_EQ(s.Send({"STOP", "PAUSE"}), Lines{});
    EXPECT_EQ(s.Send({"WHAT"}), (Lines{"300 ERR UNKNOWN COMMAND"}));
    EXPECT_EQ(s.Send({"QUIT"}), (Lines{"210 OK QUIT"}));
    EXPECT_EQ(s.backend.calls.back(), "stop");
}

TEST(Settings, SpeechDispatcherValuesFallOnTheEngineScales) {
    EXPECT_EQ(EngineScale(0), 10);
    EXPECT_EQ(EngineScale(100), 20);
    EXPECT_EQ(EngineScale(-100), 1);
    EXPECT_EQ(EngineScale(50), 15);
    EXPECT_EQ(EngineScale(-1), 9);
    EXPECT_EQ(EngineScale(999), 20);
    EXPECT_EQ(EngineVolume(0), 20);
    EXPECT_EQ(EngineVolume(100), 20);
    EXPECT_EQ(EngineVolume(-100), 1);
    EXPECT_EQ(EngineVolume(-50), 10);
}

TEST(SpokenSymbols, CharactersAndKeysInWords) {
    EXPECT_EQ(SpokenCharacter("e"), "\xE9");
    EXPECT_EQ(SpokenCharacter("ç"), "\xE7");
    EXPECT_EQ(SpokenCharacter(" "), "espa\xE7o");
    EXPECT_EQ(SpokenCharacter("\\"), "\\ ");
    EXPECT_EQ(SpokenKey("shift_a"), "shift a");
    EXPECT_EQ(SpokenKey("control_alt_delete"), "control alt delete");
    EXPECT_EQ(SpokenKey("_"), "_");
    EXPECT_EQ(SpokenKey("kp-enter"), "enter num\xE9rico");
    EXPECT_EQ(SpokenKey("f12"), "f12");
}

}  // namespace
