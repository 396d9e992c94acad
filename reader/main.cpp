#include "main.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMessageBox>

#include "Falavoz.h"
#include "GlobalHotKey.h"
#include "Messages.h"
#include "SysTray.h"
#include "opcoes.h"

void ShowEngineErrorBox(int code) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erro do Falavoz"),
                    QString::fromStdString(MessageForCode(code)));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

namespace {

void ShowMessageBox(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace

TfrmMain::TfrmMain(Falavoz& engine, GlobalHotKey& hotKey)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool),
      ShowError(ShowEngineErrorBox),
      ShowMessage(ShowMessageBox),
      engine_(engine) {
    setObjectName(QStringLiteral("frmMain"));
    setFixedSize(1, 1);
    connect(&hotKey, &GlobalHotKey::pressed, this, &TfrmMain::ReadSelection);
}

void TfrmMain::Attach(TfrmOpcoes* options, TTrayForm* tray) {
    options_ = options;
    tray_ = tray;
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
    int code = start();
    if (code == FV_BUSY && options_->ckPrioridade->isChecked()) {
        engine_.StopText();
        code = start();
    }
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

void TfrmMain::Report(int code) {
    EndOfSpeech(FV_OK);
    if (code != FV_OK) ShowError(code);
}

void TfrmMain::EndOfSpeech(int code) {
    if (code != FV_OK) ShowError(code);
    tray_->SpeechEnded();
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
