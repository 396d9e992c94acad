// The tray icon, its popup menu and its clicks. The menu's items only ask;
// the reader's main window does the speaking. While speech is in progress
// the icon is animated and the cancel and pause items are enabled.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

class TTrayForm : public QObject {
    Q_OBJECT
public:
    // Milliseconds of a steady clock; the tests give one of their own.
    using Clock = std::function<qint64()>;
    static constexpr int kIgnoreClicksMs = 700;
    static constexpr int kMenuDelayMs = 400;
    static constexpr int kFrameMs = 250;

    explicit TTrayForm(QObject* parent = nullptr, Clock clock = {});
    ~TTrayForm() override;

    void Show();
    // Speech started: cancel and pause enabled, the icon animated.
    void SpeechStarted();
    // Speech ended: the pause item back to "Pausa na Locução", cancel and
    // pause disabled, the icon still.
    void SpeechEnded();
    // The pause item's two states.
    void ShowPaused();
    void ShowResumed();
    bool Paused() const { return paused_; }
    bool Animated() const { return animation_.isActive(); }

    // "&Cantar uma Música...": asks for a melody file (the folder it was
    // found in is remembered) and hands it on with melodyChosen.
    void ChooseMelody();
    // "Editor de &Melodias...": starts the melody editor, the program
    // "melody" beside the reader. A message in Portuguese when it cannot.
    QString StartMelodyEditor();
    QString MelodyEditorPath;

    // A click on the icon at a screen position; double is a double click.
    void IconClicked(const QPoint& at, bool isDouble);
    // The 400 ms timer fired.
    void ClickTimerFired();

    QSystemTrayIcon* TrayIcon;
    QMenu* PopupMenu;
    QAction* cmOpcoes;
    QAction* cmAbout;
    QAction* cmFalarTexto;
    QAction* FalarAreadeTransferncia1;
    QAction* cmCancelar;
    QAction* cmPausa;
    QAction* cmCantarMusica;
    QAction* cmEditorMelodias;
    QAction* cmDicFonetico;
    QAction* CmLembretes;
    QAction* cmProximosLembretes;
    QTimer ClickTimer;

signals:
    void optionsRequested();
    void menuRequested(const QPoint& at);
    void aboutRequested();
    void typeTextRequested();
    void clipboardRequested();
    void cancelRequested();
    void pauseRequested();
    void resumeRequested();
    void melodyChosen(const QString& fileName);
    void melodyEditorFailed(const QString& message);
    void dictionaryRequested();
    void remindersRequested();
    void nextRemindersRequested();

private:
    void BuildMenu();
    void NextFrame();

    Clock clock_;
    QIcon stillIcon_;
    QList<QIcon> frames_;
    int frame_ = 0;
    QTimer animation_;
    bool paused_ = false;
    bool showOptions_ = false;
    bool clickAccepted_ = false;
    qint64 lastClickMs_ = 0;
    QPoint lastClickAt_;
    QString melodyFolder_;
};
