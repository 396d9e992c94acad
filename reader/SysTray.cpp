#include "SysTray.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSystemTrayIcon>

#include "Launcher.h"
#include "Settings.h"

// The icons are compiled into the reader's library: this keeps the linker
// from leaving them out.
static void LoadIcons() { Q_INIT_RESOURCE(leitor); }

namespace {

TTrayForm::Clock SteadyClock() {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return [started] { return started->elapsed(); };
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

void AddSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QLatin1String(name)); }

// Where the melody dialog's folder is kept.
const QString kMelodyFolder = QStringLiteral("Arquivos/OpenDlg.InitialDir");

}  // namespace

TTrayForm::TTrayForm(QObject* parent, Clock clock)
    : QObject(parent), clock_(clock ? std::move(clock) : SteadyClock()) {
    setObjectName(QStringLiteral("TrayForm"));
    LoadIcons();
    stillIcon_ = QIcon(QStringLiteral(":/icons/leitor.svg"));
    for (int k = 1; k <= 4; ++k) frames_ << QIcon(QStringLiteral(":/icons/leitor-fala-%1.svg").arg(k));
    TrayIcon = new QSystemTrayIcon(stillIcon_, this);
    TrayIcon->setToolTip(QStringLiteral("Leitor de Textos - Falavoz"));
    BuildMenu();
    MelodyEditorPath = QCoreApplication::applicationDirPath() + QStringLiteral("/melody");
    melodyFolder_ = OpenSettings()->value(kMelodyFolder).toString();

    ClickTimer.setSingleShot(true);
    ClickTimer.setInterval(kMenuDelayMs);
    connect(&ClickTimer, &QTimer::timeout, this, &TTrayForm::ClickTimerFired);
    animation_.setInterval(kFrameMs);
    connect(&animation_, &QTimer::timeout, this, &TTrayForm::NextFrame);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        IconClicked(QCursor::pos(), reason == QSystemTrayIcon::DoubleClick);
    });
    connect(this, &TTrayForm::menuRequested, this, [this](const QPoint& at) {
        PopupMenu->popup(at);
        PopupMenu->activateWindow();
    });
}

TTrayForm::~TTrayForm() { delete PopupMenu; }

void TTrayForm::BuildMenu() {
    PopupMenu = new QMenu;
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->setAccessibleName(QStringLiteral("Leitor de Textos - Falavoz"));
    cmOpcoes = AddItem(PopupMenu, "cmOpcoes", QStringLiteral("&Opções..."));
    PopupMenu->setDefaultAction(cmOpcoes);
    cmAbout = AddItem(PopupMenu, "cmAbout", QStringLiteral("&Sobre o Falavoz®"));
    AddSeparator(PopupMenu, "About1");
    cmFalarTexto = AddItem(PopupMenu, "cmFalarTexto", QStringLiteral("&Falar um texto..."));
    FalarAreadeTransferncia1 =
        AddItem(PopupMenu, "FalarAreadeTransferncia1", QStringLiteral("Falar Área de &Transferência"));
    AddSeparator(PopupMenu, "N1");
    cmCancelar = AddItem(PopupMenu, "cmCancelar", QStringLiteral("Canc&elar Locução"));
    cmPausa = AddItem(PopupMenu, "cmPausa", QStringLiteral("&Pausa na Locução"));
    AddSeparator(PopupMenu, "N2");
    cmCantarMusica = AddItem(PopupMenu, "cmCantarMusica", QStringLiteral("&Cantar uma Música..."));
    cmEditorMelodias = AddItem(PopupMenu, "cmEditorMelodias", QStringLiteral("Editor de &Melodias..."));
    AddSeparator(PopupMenu, "N4");
    cmDicFonetico = AddItem(PopupMenu, "cmDicFonetico", QStringLiteral("&Dicionário Fonético..."));
    AddSeparator(PopupMenu, "N3");
    CmLembretes = AddItem(PopupMenu, "CmLembretes", QStringLiteral("&Lembretes..."));
    cmProximosLembretes = AddItem(PopupMenu, "cmProximosLembretes", QStringLiteral("Pró&ximos Lembretes..."));
    cmCancelar->setEnabled(false);
    cmPausa->setEnabled(false);

    connect(cmOpcoes, &QAction::triggered, this, [this] {
        showOptions_ = true;
        emit optionsRequested();
    });
    connect(cmAbout, &QAction::triggered, this, &TTrayForm::aboutRequested);
    connect(cmFalarTexto, &QAction::triggered, this, &TTrayForm::typeTextRequested);
    connect(FalarAreadeTransferncia1, &QAction::triggered, this, &TTrayForm::clipboardRequested);
    connect(cmCancelar, &QAction::triggered, this, &TTrayForm::cancelRequested);
    connect(cmPausa, &QAction::triggered, this,
            [this] { emit paused_ ? resumeRequested() : pauseRequested(); });
    connect(cmCantarMusica, &QAction::triggered, this, &TTrayForm::ChooseMelody);
    connect(cmEditorMelodias, &QAction::triggered, this, [this] {
        const QString problem = StartMelodyEditor();
        if (!problem.isEmpty()) emit melodyEditorFailed(problem);
    });
    connect(cmDicFonetico, &QAction::triggered, this, &TTrayForm::dictionaryRequested);
    connect(CmLembretes, &QAction::triggered, this, &TTrayForm::remindersRequested);
    connect(cmProximosLembretes, &QAction::triggered, this, &TTrayForm::nextRemindersRequested);
}

void TTrayForm::Show() { TrayIcon->show(); }

void TTrayForm::SpeechStarted() {
    // A new speech is never paused, even when the one it replaced was.
    if (paused_) ShowResumed();
    cmCancelar->setEnabled(true);
    cmPausa->setEnabled(true);
    animation_.start();
}

void TTrayForm::SpeechEnded() {
    paused_ = false;
    cmPausa->setText(QStringLiteral("Pausa na Locução"));
    cmPausa->setEnabled(false);
    cmCancelar->setEnabled(false);
    animation_.stop();
    TrayIcon->setIcon(stillIcon_);
}

void TTrayForm::ShowPaused() {
    paused_ = true;
    cmPausa->setText(QStringLiteral("Continuar Locução"));
    animation_.stop();
}

void TTrayForm::ShowResumed() {
    paused_ = false;
    cmPausa->setText(QStringLiteral("Pausa na Locução"));
    animation_.start();
}

void TTrayForm::NextFrame() {
    frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
    TrayIcon->setIcon(frames_[frame_]);
}

void TTrayForm::IconClicked(const QPoint& at, bool isDouble) {
    if (isDouble) {
        showOptions_ = true;
        emit optionsRequested();
        return;
    }
    const qint64 now = clock_();
    if (clickAccepted_ && now - lastClickMs_ < kIgnoreClicksMs) return;
    clickAccepted_ = true;
    lastClickMs_ = now;
    lastClickAt_ = at;
    showOptions_ = false;
    ClickTimer.start();
}

void TTrayForm::ClickTimerFired() {
    ClickTimer.stop();
    if (showOptions_)
        emit optionsRequested();
    else
        emit menuRequested(lastClickAt_);
}

void TTrayForm::ChooseMelody() {
    QFileDialog dialog(nullptr, QStringLiteral("Abrir arquivo de Melodia"), melodyFolder_);
    dialog.setObjectName(QStringLiteral("OpenDlg"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Arquivos de Melodias (*.pho)"), QStringLiteral("Todos os Arquivos (*)")});
    dialog.setDefaultSuffix(QStringLiteral("pho"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().first();
    melodyFolder_ = QFileInfo(file).absolutePath();
    auto store = OpenSettings();
    store->setValue(kMelodyFolder, melodyFolder_);
    emit melodyChosen(file);
}

QString TTrayForm::StartMelodyEditor() {
    if (!QFileInfo(MelodyEditorPath).isExecutable())
        return QStringLiteral("O editor de melodias não está instalado: o programa %1 não foi encontrado.")
            .arg(MelodyEditorPath);
    const QString problem = StartDetachedProgram(MelodyEditorPath);
    if (problem.isEmpty()) return {};
    return QStringLiteral("Não foi possível iniciar o editor de melodias %1: %2.")
        .arg(MelodyEditorPath, problem);
}
