// The options dialog: the voice, the hot key, the engine's text analysis,
// the busy behaviour, the playback rate and the reminder switches. Its
// controls are the live settings the rest of the reader reads; they are
// saved to the settings store on OK and at the end of the program, and
// restored from it at start and on Cancelar.
#pragma once

#include <QDialog>

class Falavoz;
class GlobalHotKey;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

class TfrmOpcoes : public QDialog {
    Q_OBJECT
public:
    TfrmOpcoes(Falavoz& engine, GlobalHotKey& hotKey, QWidget* parent = nullptr);

    // Restores the stored settings (defaults where nothing is stored).
    void RestoreSettings();
    // Saves the controls; a message in Portuguese when the store could not
    // be written, else empty.
    QString SaveSettings();
    // TTS_SetMode from the sliders and the analysis options.
    void ApplyToEngine();
    void RegisterHotKey();
    // Ctrl, Shift and Alt of the hot key, as GlobalHotKey's modifiers.
    int HotKeyModifiers() const;
    int HotKeyVirtualKey() const { return cbTeclaTag; }
    // Shows the dialog in front, with the focus.
    void ShowInFront();

    QSlider* scrVelocidade;
    QSlider* scrTonalidade;
    QSlider* scrVolume;
    QComboBox* cbTecla;
    int cbTeclaTag = 120;  // the virtual key of the hot key (F9)
    QCheckBox* ckShift;
    QCheckBox* ckCtrl;
    QCheckBox* ckAlt;
    QLineEdit* Freq;
    QCheckBox* ckAnalise;
    QCheckBox* ckCase;
    QCheckBox* ckDetectPause;
    QCheckBox* ckAspas;
    QCheckBox* ckPrioridade;
    QCheckBox* Compativel;
    QCheckBox* HabilitarLembretes;
    QCheckBox* IgnorarAtraso;
    QPushButton* btnOk;
    QPushButton* btnTestar;
    QPushButton* btnCancelar;
    QPushButton* btnAjuda;  // quits the program
    QPushButton* Button1;   // opens the help

signals:
    // "Testar Pronúncia" asks the reader to speak this text.
    void speakRequested(const QString& text);
    void quitRequested();
    void remindersSwitched(bool enabled);

public slots:
    void accept() override;  // OK
    void reject() override;  // Cancelar, Esc and the window's close button

private:
    void BuildControls();
    void SetDefaults();
    void ConnectControls();
    void SetOptionFromBox(int option, const QCheckBox* box);
    void TestSpeech();
    void AskToQuit();

    Falavoz& engine_;
    GlobalHotKey& hotKey_;
};
