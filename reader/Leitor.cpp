// Leitor, the tray reader: no main window, an icon in the notification area,
// a hot key that reads the selected text, and the windows it opens.
#include <fcntl.h>
#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <unistd.h>
#include <csignal>
#include <cstdio>

#include "Dicionario.h"
#include "Falavoz.h"
#include "GlobalHotKey.h"
#include "Lembrete.h"
#include "LembretesSimples.h"
#include "SysTray.h"
#include "Widgets.h"
#include "main.h"
#include "opcoes.h"

namespace {

const QString kTitle = QStringLiteral("Leitor de Textos - Falavoz");

// One reader per desktop session: a lock named after the display.
std::unique_ptr<QLockFile> LockThisSession() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    QString display = qEnvironmentVariable("DISPLAY", QStringLiteral("sem-tela"));
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    auto lock = std::make_unique<QLockFile>(QStringLiteral("%1/leitor-falavoz-%2.lock").arg(folder, display));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

// SIGTERM (the session ends) and SIGINT quit through the event loop, so the
// settings are saved as on any other way out.
int quitPipe[2] = {-1, -1};
void QuitSoon(int) {
    const char quit = 1;
    [[maybe_unused]] ssize_t ignored = write(quitPipe[1], &quit, 1);
}
void QuitOnSignals(QApplication& app) {
    if (pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* watcher = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(watcher, &QSocketNotifier::activated, &app, &QApplication::quit);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, QuitSoon);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Leitor"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/leitor.svg")));

    const auto lock = LockThisSession();
    if (!lock) {
        std::fprintf(stderr, "Leitor: o Leitor de Textos Falavoz já está em execução nesta sessão.\n");
        QMessageBox::information(nullptr, kTitle,
                                 QStringLiteral("O Leitor de Textos Falavoz já está em execução."));
        return 1;
    }
    QuitOnSignals(app);

    auto engine = LinkFalavoz(&app);
    auto hotKey = DesktopHotKey(&app);
    TfrmMain frmMain(*engine, *hotKey);
    TfrmOpcoes frmOpcoes(*engine, *hotKey);
    TfrmLembretes frmLembretes(ReminderFilePath());
    TTrayForm trayForm;
    TfrmDicionario frmDicionario(*engine, frmMain);
    frmMain.Attach(&frmOpcoes, &trayForm);
    frmMain.DictionaryInUse = [&] { return frmDicionario.DictionaryInUse(); };
    frmLembretes.Load();
    frmLembretes.Attach(frmMain);
    QObject::connect(&trayForm, &TTrayForm::dictionaryRequested, &frmDicionario, &TfrmDicionario::ShowEditor);

    std::unique_ptr<TfrmLembretesSimples> frmLembretesSimples;
    QObject::connect(&trayForm, &TTrayForm::remindersRequested, [&] { ShowInFront(&frmLembretes); });
    QObject::connect(&trayForm, &TTrayForm::nextRemindersRequested, [&] {
        if (!frmLembretesSimples)
            frmLembretesSimples = std::make_unique<TfrmLembretesSimples>(frmLembretes, frmMain);
        frmLembretesSimples->ShowModally();
    });

    // Quitting closes the dictionary editor first, which offers to save it.
    QObject::connect(&frmOpcoes, &TfrmOpcoes::quitRequested, &app, [&] {
        if (frmDicionario.isVisible()) frmDicionario.reject();
        if (!frmDicionario.isVisible()) QApplication::quit();
    });
    QObject::connect(&app, &QApplication::aboutToQuit, [&] {
        const QString error = frmOpcoes.SaveSettings();
        if (!error.isEmpty()) std::fprintf(stderr, "Leitor: %s\n", qPrintable(error));
    });

    trayForm.Show();
    return app.exec();
}
