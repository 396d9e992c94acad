// Stand-ins for the reader's tests: an engine that records the calls the
// reader makes and answers as told, and a hot key that records what was
// registered. The real engine is checked against the same calls in
// engine_link_test, and the real hot key in leitor_e2e.sh.
#pragma once

#include <QStringList>
#include <deque>

#include "Falavoz.h"
#include "GlobalHotKey.h"

class RecordingFalavoz : public Falavoz {
public:
    int Init(EndOfSpeech onEnd) override {
        calls << QStringLiteral("Init");
        this->onEnd = std::move(onEnd);
        return initResult;
    }
    int SetMode(int speed, int volume, int pitch) override {
        calls << QStringLiteral("SetMode %1 %2 %3").arg(speed).arg(volume).arg(pitch);
        return FV_OK;
    }
    int SetOption(int option, int value) override {
        calls << QStringLiteral("SetOption %1 %2").arg(option).arg(value);
        return FV_OK;
    }
    int PlayText(const QString& text) override { return Answer(QStringLiteral("PlayText ") + text); }
    int PlayMusic(const QString& fileName) override {
        return Answer(QStringLiteral("PlayMusic ") + fileName);
    }
    int StopText() override { return Record(QStringLiteral("StopText")); }
    int PauseText() override { return Record(QStringLiteral("PauseText")); }
    int ResumeText() override { return Record(QStringLiteral("ResumeText")); }
    int DictLoad(const QString& fileName) override { return Record(QStringLiteral("DictLoad ") + fileName); }
    int DictAdd(const QString& word, const QString& transcription) override {
        return Record(QStringLiteral("DictAdd %1 %2").arg(word, transcription));
    }
    int DictUnload() override { return Record(QStringLiteral("DictUnload")); }

    // The engine's notification at the end of speech.
    void End(int code) { onEnd(code); }
    // The calls whose text starts with prefix.
    QStringList CallsOf(const QString& prefix) const {
        QStringList found;
        for (const QString& call : calls)
            if (call.startsWith(prefix)) found << call;
        return found;
    }

    QStringList calls;
    int initResult = FV_OK;
    int controlResult = FV_OK;    // of stop, pause, resume and the dictionary calls
    std::deque<int> playResults;  // answers to PlayText and PlayMusic, in turn; 0 when empty
    EndOfSpeech onEnd;

private:
    int Record(const QString& call) {
        calls << call;
        return controlResult;
    }
    int Answer(const QString& call) {
        calls << call;
        if (playResults.empty()) return FV_OK;
        const int result = playResults.front();
        playResults.pop_front();
        return result;
    }
};

class RecordingHotKey : public GlobalHotKey {
public:
    using GlobalHotKey::GlobalHotKey;
    bool Register(int modifiers, int virtualKey) override {
        this->modifiers = modifiers;
        this->virtualKey = virtualKey;
        ++registrations;
        return true;
    }
    void Unregister() override { virtualKey = 0; }
    void Press() { emit pressed(); }

    int modifiers = -1;
    int virtualKey = 0;
    int registrations = 0;
};
