#include "main.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>

#include "Falavoz.h"
#include "GlobalHotKey.h"
#include "Messages.h"
#include "SysTray.h"
#include "Texto.h"
#include "Widgets.h"
#include "about.h"
#include "opcoes.h"

void ShowEngineErrorBox(int code) {
    ShowMessageBox(QStringLiteral("Erro do Falavoz"), QString::fromStdString(MessageForCode(code)));
}

namespace {

void ShowErrorBox(const QString& caption, const QString& text) { ShowMessageBox(caption, text); }

}  // namespace

TfrmMain::TfrmMain(Falavoz& engine, GlobalHotKey& hotKey)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool),
      ShowError(ShowEngineErrorBox),
      ShowMessage(ShowErrorBox),
      engine_(engine) {
    setObjectName(QStringLiteral("frmMain"));
    setFixedSize(1, 1);
    connect(&hotKey, &GlobalHotKey::pressed, this, &TfrmMain::ReadSelection);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::Attach(TfrmOpcoes* options, TTrayForm* tray) {
    options_ = options;
    tray_ = tray;
    connect(options, &TfrmOpcoes::speakRequested, this, &TfrmMain::SpeakRequest);
    connect(tray, &TTrayForm::optionsRequested, options, &TfrmOpcoes::ShowInFront);
    connect(tray, &TTrayForm::aboutRequested, this, &TfrmMain::ShowAbout);
    connect(tray, &TTrayForm::typeTextRequested, this, &TfrmMain::ShowTypeTextDialog);
    connect(tray, &TTrayForm::clipboardRequested, this, &TfrmMain::SpeakClipboard);
    connect(tray, &TTrayForm::cancelRequested, this, &TfrmMain::CancelSpeech);
    connect(tray, &TTrayForm::pauseRequested, this, &TfrmMain::PauseSpeech);
    connect(tray, &TTrayForm::resumeRequested, this, &TfrmMain::ResumeSpeech);
    connect(tray, &TTrayForm::melodyChosen, this, &TfrmMain::SingRequest);
    connect(tray, &TTrayForm::melodyEditorFailed, this,
            [this](const QString& problem) { ShowMessage(QStringLiteral("Falavoz"), problem); });
}

bool TfrmMain::EnsureEngine() {
    if (engineReady_) return true;
    const int code = engine_.Init([this](int end) { EndOfSpeech(end); });
    if (code != FV_OK) {
        Report(code);
        return false;
    }
    options_->ApplyToEngine();
    const QString dictionary = DictionaryInUse ? DictionaryInUse() : QString();
    if (!dictionary.isEmpty()) engine_.DictLoad(dictionary);
    engineReady_ = true;
    return true;
}

int TfrmMain::StartWithRetry(const std::function<int()>& start) {
    starting_ = true;
    endedWhileStarting_ = false;
    int code = start();
    if (code == FV_BUSY && options_->ckPrioridade->isChecked()) {
        engine_.StopText();
        code = start();
    }
    starting_ = false;
    lastStartEndedItself_ = endedWhileStarting_;
    if (code == FV_OK) tray_->SpeechStarted();
    return code;
}

bool TfrmMain::SpeakRequest(const QString& text) {
    if (text.isEmpty() || !EnsureEngine()) return false;
    // Refusals other than busy are dropped: an error the engine met on the
    // way reaches EndOfSpeech and is shown there.
    return StartWithRetry([&] { return engine_.PlayText(text); }) == FV_OK;
}

bool TfrmMain::SingRequest(const QString& fileName) {
    if (fileName.isEmpty() || !EnsureEngine()) return false;
    return StartWithRetry([&] { return engine_.PlayMusic(fileName); }) == FV_OK;
}

void TfrmMain::ShowSpeaking() { tray_->SpeechStarted(); }

void TfrmMain::Report(int code) {
    EndOfSpeech(FV_OK);
    if (code != FV_OK) ShowError(code);
}

void TfrmMain::EndOfSpeech(int code) {
    if (starting_) endedWhileStarting_ = true;
    // The menu is back to rest before an error box waits for the user.
    tray_->SpeechEnded();
    if (code != FV_OK && !(SpeakingReminderSeries && SpeakingReminderSeries())) ShowError(code);
    emit speechEnded(code);
    lastSpeechFailed_ = code != FV_OK;
}

void TfrmMain::ReadSelection() {
    // On X11 the selection is the PRIMARY selection, read without touching
    // the clipboard; a selection that is no text speaks nothing.
    SpeakRequest(QApplication::clipboard()->text(QClipboard::Selection));
}

void TfrmMain::SpeakClipboard() {
    const QString text = QApplication::clipboard()->text(QClipboard::Clipboard);
    if (text.isEmpty())
        ShowMessage(QStringLiteral("Erro"), QStringLiteral("Área de Transferência não contém nenhum texto"));
    else
        SpeakRequest(text);
}

void TfrmMain::CancelSpeech() {
    engine_.StopText();
    emit speechCancelled();
    EndOfSpeech(FV_OK);
}

void TfrmMain::PauseSpeech() {
    if (engine_.PauseText() == FV_OK) tray_->ShowPaused();
}

void TfrmMain::ResumeSpeech() {
    if (engine_.ResumeText() == FV_OK) tray_->ShowResumed();
}

void TfrmMain::ShowTypeTextDialog() {
    if (!frmTexto_) {
        frmTexto_ = std::make_unique<TfrmTexto>();
        connect(frmTexto_.get(), &TfrmTexto::speakRequested, this, &TfrmMain::SpeakRequest);
    }
    frmTexto_->ShowWithTextSelected();
}

void TfrmMain::ShowAbout() {
    if (!frmAbout_) frmAbout_ = std::make_unique<TfrmAbout>();
    frmAbout_->exec();
}
