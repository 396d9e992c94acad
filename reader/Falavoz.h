// The engine's exports as the reader calls them. The reader's windows talk to
// this interface, so that their tests can put a recording engine in its
// place; LinkFalavoz gives the real library.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "falavoz32.h"

class Falavoz {
public:
    // The end of asynchronous speech or singing: 0 when the text was
    // finished, else the engine's error code.
    using EndOfSpeech = std::function<void(int code)>;

    virtual ~Falavoz() = default;

    // TTS_Init(0, notification, 0); onEnd receives every notification.
    virtual int Init(EndOfSpeech onEnd) = 0;
    virtual int SetMode(int speed, int volume, int pitch) = 0;
    virtual int SetOption(int option, int value) = 0;
    // Asynchronous speech of a text, converted to the engine's code page.
    virtual int PlayText(const QString& text) = 0;
    // Asynchronous singing of a melody file.
    virtual int PlayMusic(const QString& fileName) = 0;
    virtual int StopText() = 0;
    virtual int PauseText() = 0;
    virtual int ResumeText() = 0;
    virtual int DictLoad(const QString& fileName) = 0;
    virtual int DictAdd(const QString& word, const QString& transcription) = 0;
    virtual int DictUnload() = 0;
};

// The engine library itself. The engine continues its asynchronous speech
// when its notification descriptor becomes readable: the returned object
// watches it on the GUI thread (parent owns the watcher). The end of speech
// reaches onEnd from the event loop, never from inside an engine call, so
// the reader may show a message box or speak again from there. An end the
// engine reports while a speech starts (its first piece failed) reaches
// onEnd as soon as the engine has returned, before PlayText or PlayMusic
// returns the same code.
std::unique_ptr<Falavoz> LinkFalavoz(QObject* parent);

// The text as the engine reads it: Windows-1252, typographic marks in their
// plain forms, characters the code page lacks left out.
std::string TextForEngine(const QString& text);
