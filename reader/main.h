// The reader's hidden main window. It never shows; it hears the hot key and
// owns the connection to the engine: starting it at the first request,
// speaking and singing, and the end of speech, which the tray menu and the
// reminders follow.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "Widgets.h"

class Falavoz;
class GlobalHotKey;
class TTrayForm;
class TfrmAbout;
class TfrmOpcoes;
class TfrmTexto;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    TfrmMain(Falavoz& engine, GlobalHotKey& hotKey);
    ~TfrmMain() override;

    // The windows the main window consults and answers; set once at start.
    void Attach(TfrmOpcoes* options, TTrayForm* tray);

    // Initialises and configures the engine unless done already. False when
    // the engine could not be started (its error has been shown).
    bool EnsureEngine();
    // Speaks a text; an empty text is nothing to speak. True when speech began.
    bool SpeakRequest(const QString& text);
    // Sings a melody file. True when singing began.
    bool SingRequest(const QString& fileName);
    // Ends the current speech as if it had ended, then shows the error.
    void Report(int code);
    // The end of speech or singing: 0 when finished, else an error code.
    void EndOfSpeech(int code);

    // The selected text of the desktop, read on the hot key.
    void ReadSelection();
    void SpeakClipboard();
    void CancelSpeech();
    void PauseSpeech();
    void ResumeSpeech();
    // The type-a-text dialog and the about box, made at their first use.
    void ShowTypeTextDialog();
    void ShowAbout();

    bool EngineReady() const { return engineReady_; }
    bool LastSpeechFailed() const { return lastSpeechFailed_; }

    // Where the engine's errors are shown; a message box unless a test says
    // otherwise.
    std::function<void(int code)> ShowError;
    // Shows a message other than an engine error, with its caption.
    TellHook ShowMessage;
    // The dictionary file to give the engine when it starts; empty for none.
    std::function<QString()> DictionaryInUse;
    // True while a series of reminders is spoken: its errors are not shown.
    std::function<bool()> SpeakingReminderSeries;

    // TTS_PlayText or TTS_PlayMusic, with the busy retry of the priority
    // option; on success the menu shows the speech. The final code.
    int StartWithRetry(const std::function<int()>& start);
    // The menu shows a speech that was started elsewhere.
    void ShowSpeaking();
    // The last start failed and the engine reported it as the end of the
    // speech, which has been handled (and its error shown) already.
    bool LastStartEndedItself() const { return lastStartEndedItself_; }
    Falavoz& Engine() { return engine_; }
    TfrmOpcoes& Options() { return *options_; }

signals:
    // After the reader's own end-of-speech handling, with the same code.
    void speechEnded(int code);
    void speechCancelled();

private:
    Falavoz& engine_;
    TfrmOpcoes* options_ = nullptr;
    TTrayForm* tray_ = nullptr;
    std::unique_ptr<TfrmTexto> frmTexto_;
    std::unique_ptr<TfrmAbout> frmAbout_;
    bool engineReady_ = false;
    bool lastSpeechFailed_ = false;
    bool starting_ = false;
    bool endedWhileStarting_ = false;
    bool lastStartEndedItself_ = false;
};

// The engine error box: caption "Erro do Falavoz", the message of the code.
void ShowEngineErrorBox(int code);
