// The tray menu and the speech it starts: captions and states across speak,
// pause, continue, cancel and the end of speech; the busy retry; engine
// errors; the clicks on the icon, timed with a clock of the test's own.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include "ReaderDoubles.h"
#include "SettingsSandbox.h"
#include "SysTray.h"
#include "Texto.h"
#include "main.h"
#include "opcoes.h"

// The reader's windows as at start, around a recording engine.
struct Reader {
    RecordingFalavoz engine;
    RecordingHotKey hotKey;
    TfrmMain main{engine, hotKey};
    TfrmOpcoes options{engine, hotKey};
    qint64 now = 100000;
    TTrayForm tray{nullptr, [this] { return now; }};
    QList<int> errorsShown;
    QStringList messagesShown;

    Reader() {
        main.Attach(&options, &tray);
        main.ShowError = [this](int code) { errorsShown << code; };
        main.ShowMessage = [this](const QString& caption, const QString& text) {
            messagesShown << caption + QStringLiteral(": ") + text;
        };
    }
};

class TrayTest : public QObject {
    Q_OBJECT

    SettingsSandbox settings;

private slots:
    void init() { settings.Clear(); }

    void theMenuHasEveryItemInOrder() {
        Reader reader;
        QStringList items;
        for (QAction* item : reader.tray.PopupMenu->actions())
            items << item->objectName() + QLatin1Char('=') +
                         (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(
            items,
            QStringList({"cmOpcoes=&Opções...", "cmAbout=&Sobre o Falavoz®", "About1=-",
                         "cmFalarTexto=&Falar um texto...",
                         "FalarAreadeTransferncia1=Falar Área de &Transferência", "N1=-",
                         "cmCancelar=Canc&elar Locução", "cmPausa=&Pausa na Locução", "N2=-",
                         "cmCantarMusica=&Cantar uma Música...", "cmEditorMelodias=Editor de &Melodias...",
                         "N4=-", "cmDicFonetico=&Dicionário Fonético...", "N3=-", "CmLembretes=&Lembretes...",
                         "cmProximosLembretes=Pró&ximos Lembretes..."}));
        QCOMPARE(reader.tray.PopupMenu->defaultAction(), reader.tray.cmOpcoes);
        QVERIFY(!reader.tray.cmCancelar->isEnabled());
        QVERIFY(!reader.tray.cmPausa->isEnabled());
        QCOMPARE(reader.tray.TrayIcon->toolTip(), QStringLiteral("Leitor de Textos - Falavoz"));
    }

    void theFirstRequestStartsAndConfiguresTheEngineOnce() {
        Reader reader;
        reader.main.DictionaryInUse = [] { return QStringLiteral("/tmp/meu.dic"); };
        reader.options.scrVelocidade->setValue(12);
        QVERIFY(reader.main.SpeakRequest(QStringLiteral("olá")));
        QCOMPARE(
            reader.engine.calls,
            QStringList({"Init", "SetMode 12 20 10", "SetOption 3 1", "SetOption 1 0", "SetOption 2 1",
                         "SetOption 5 0", "SetOption 6 16000", "DictLoad /tmp/meu.dic", "PlayText olá"}));
        reader.engine.End(FV_OK);
        reader.main.SpeakRequest(QStringLiteral("de novo"));
        QCOMPARE(reader.engine.CallsOf(QStringLiteral("Init")).size(), 1);
        QVERIFY(!reader.main.SpeakRequest(QString()));  // nothing to say
    }

    void aFailedStartIsShownAndTriedAgainAtTheNextRequest() {
        Reader reader;
        reader.engine.initResult = FV_INIT_ERROR;
        QVERIFY(!reader.main.SpeakRequest(QStringLiteral("um")));
        QCOMPARE(reader.errorsShown, QList<int>({FV_INIT_ERROR}));
        QVERIFY(!reader.main.EngineReady());
        QVERIFY(reader.engine.CallsOf(QStringLiteral("PlayText")).isEmpty());
        reader.engine.initResult = FV_OK;
        QVERIFY(reader.main.SpeakRequest(QStringLiteral("dois")));
        QVERIFY(reader.main.EngineReady());
    }

    void theMenuFollowsSpeakPauseContinueAndEnd() {
        Reader reader;
        TTrayForm& tray = reader.tray;
        QVERIFY(reader.main.SpeakRequest(QStringLiteral("um texto")));
        QVERIFY(tray.cmCancelar->isEnabled());
        QVERIFY(tray.cmPausa->isEnabled());
        QVERIFY(tray.Animated());
        QCOMPARE(tray.cmPausa->text(), QStringLiteral("&Pausa na Locução"));

        tray.cmPausa->trigger();
        QCOMPARE(reader.engine.calls.last(), QStringLiteral("PauseText"));
        QCOMPARE(tray.cmPausa->text(), QStringLiteral("Continuar Locução"));
        QVERIFY(!tray.Animated());
        tray.cmPausa->trigger();
        QCOMPARE(reader.engine.calls.last(), QStringLiteral("ResumeText"));
        QCOMPARE(tray.cmPausa->text(), QStringLiteral("Pausa na Locução"));
        QVERIFY(tray.Animated());

        reader.engine.End(FV_OK);
        QVERIFY(!tray.cmCancelar->isEnabled());
        QVERIFY(!tray.cmPausa->isEnabled());
        QVERIFY(!tray.Animated());
        QCOMPARE(tray.cmPausa->text(), QStringLiteral("Pausa na Locução"));
        QVERIFY(reader.errorsShown.isEmpty());
    }

    void aPauseTheEngineRefusesChangesNothing() {
        Reader reader;
        reader.main.SpeakRequest(QStringLiteral("um texto"));
        reader.engine.controlResult = FV_INVALID_COMMAND;
        reader.tray.cmPausa->trigger();
        QVERIFY(!reader.tray.Paused());
        QVERIFY(reader.tray.Animated());
    }

    void cancelStopsAndEndsTheSpeech() {
        Reader reader;
        QSignalSpy ended(&reader.main, &TfrmMain::speechEnded);
        reader.main.SpeakRequest(QStringLiteral("um texto"));
        reader.tray.cmCancelar->trigger();
        QCOMPARE(reader.engine.calls.last(), QStringLiteral("StopText"));
        QVERIFY(!reader.tray.cmCancelar->isEnabled());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
    }

    void aSecondRequestWhileSpeakingReplacesTheFirst() {
        Reader reader;
        reader.main.SpeakRequest(QStringLiteral("primeiro"));
        reader.tray.cmPausa->trigger();  // paused
        reader.engine.calls.clear();
        reader.engine.playResults = {FV_BUSY, FV_OK};
        QVERIFY(reader.main.SpeakRequest(QStringLiteral("segundo")));
        QCOMPARE(reader.engine.calls, QStringList({"PlayText segundo", "StopText", "PlayText segundo"}));
        // The new speech is not paused, whatever the old one was.
        QCOMPARE(reader.tray.cmPausa->text(), QStringLiteral("Pausa na Locução"));
        QVERIFY(reader.tray.Animated());
    }

    void withoutPriorityASecondRequestIsIgnored() {
        Reader reader;
        reader.options.ckPrioridade->setChecked(false);
        reader.main.SpeakRequest(QStringLiteral("primeiro"));
        reader.engine.calls.clear();
        reader.engine.playResults = {FV_BUSY};
        QVERIFY(!reader.main.SpeakRequest(QStringLiteral("segundo")));
        QCOMPARE(reader.engine.calls, QStringList({"PlayText segundo"}));
        QVERIFY(reader.errorsShown.isEmpty());
        QVERIFY(reader.tray.cmCancelar->isEnabled());  // the first still speaks
    }

    void anErrorAtTheEndIsShownOnceAndTheMenuReset() {
        Reader reader;
        QSignalSpy ended(&reader.main, &TfrmMain::speechEnded);
        reader.main.SpeakRequest(QStringLiteral("um texto"));
        reader.engine.End(FV_NO_DEVICE);
        QCOMPARE(reader.errorsShown, QList<int>({FV_NO_DEVICE}));
        QVERIFY(!reader.tray.cmPausa->isEnabled());
        QVERIFY(reader.main.LastSpeechFailed());
        QCOMPARE(ended.first().first().toInt(), int(FV_NO_DEVICE));
        reader.main.Report(-99);  // outside the table: an empty box
        QCOMPARE(reader.errorsShown.last(), -99);
        QVERIFY(!reader.main.LastSpeechFailed());
    }

    void theHotKeyReadsTheSelectionAndTheMenuTheClipboard() {
        Reader reader;
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->setText(QStringLiteral("selecionado"), QClipboard::Selection);
        clipboard->setText(QStringLiteral("copiado"), QClipboard::Clipboard);
        reader.hotKey.Press();
        // The selection is read where the platform has one (X11: the end-to-end test).
        const QStringList selection =
            clipboard->supportsSelection() ? QStringList({"PlayText selecionado"}) : QStringList();
        QCOMPARE(reader.engine.CallsOf(QStringLiteral("PlayText")), selection);
        reader.tray.FalarAreadeTransferncia1->trigger();
        QCOMPARE(reader.engine.CallsOf(QStringLiteral("PlayText")),
                 selection + QStringList({"PlayText copiado"}));
        QCOMPARE(clipboard->text(QClipboard::Clipboard), QStringLiteral("copiado"));  // left as it was

        clipboard->clear(QClipboard::Clipboard);
        reader.tray.FalarAreadeTransferncia1->trigger();
        QCOMPARE(reader.messagesShown, QStringList({"Erro: Área de Transferência não contém nenhum texto"}));
    }

    void aClickShowsTheMenuAfter400MsAndClicksWithin700MsAreIgnored() {
        Reader reader;
        TTrayForm& tray = reader.tray;
        QSignalSpy menu(&tray, &TTrayForm::menuRequested);
        QSignalSpy options(&tray, &TTrayForm::optionsRequested);
        tray.IconClicked(QPoint(10, 20), false);
        QVERIFY(tray.ClickTimer.isActive());
        QCOMPARE(tray.ClickTimer.interval(), 400);
        QCOMPARE(menu.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(menu.count(), 1, 2000);  // the real 400 ms timer
        QCOMPARE(menu.first().first().toPoint(), QPoint(10, 20));
        QVERIFY(!tray.ClickTimer.isActive());

        reader.now += 699;
        tray.IconClicked(QPoint(30, 40), false);
        QVERIFY(!tray.ClickTimer.isActive());
        reader.now += 1;
        tray.IconClicked(QPoint(50, 60), false);
        QVERIFY(tray.ClickTimer.isActive());
        tray.ClickTimerFired();
        QCOMPARE(menu.last().first().toPoint(), QPoint(50, 60));
        QCOMPARE(options.count(), 0);
    }

    void aDoubleClickShowsTheOptionsAndNoMenu() {
        Reader reader;
        TTrayForm& tray = reader.tray;
        QSignalSpy menu(&tray, &TTrayForm::menuRequested);
        QSignalSpy options(&tray, &TTrayForm::optionsRequested);
        tray.IconClicked(QPoint(1, 1), false);
        reader.now += 150;
        tray.IconClicked(QPoint(1, 1), true);
        QCOMPARE(options.count(), 1);
        tray.ClickTimerFired();
        QCOMPARE(options.count(), 2);
        QCOMPARE(menu.count(), 0);
    }

    void theAnimationCyclesEvery250MsWhileSpeaking() {
        Reader reader;
        reader.main.SpeakRequest(QStringLiteral("um texto"));
        const qint64 before = reader.tray.TrayIcon->icon().cacheKey();
        QTest::qWait(600);
        QVERIFY(reader.tray.TrayIcon->icon().cacheKey() != before);
        reader.engine.End(FV_OK);
        const qint64 still = reader.tray.TrayIcon->icon().cacheKey();
        QTest::qWait(300);
        QCOMPARE(reader.tray.TrayIcon->icon().cacheKey(), still);
    }

    void singingStartsLikeSpeech() {
        Reader reader;
        QVERIFY(reader.main.SingRequest(QStringLiteral("/tmp/escala.pho")));
        QCOMPARE(reader.engine.calls.last(), QStringLiteral("PlayMusic /tmp/escala.pho"));
        QVERIFY(reader.tray.cmPausa->isEnabled());
    }

    void enterInTheTypedTextSpeaksItAndTheTextIsKept() {
        TfrmTexto dialog;
        QSignalSpy speak(&dialog, &TfrmTexto::speakRequested);
        dialog.ShowWithTextSelected();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.Memo, QStringLiteral("Bom dia"));
        QTest::keyClick(dialog.Memo, Qt::Key_Return);
        QCOMPARE(speak.count(), 1);
        QCOMPARE(speak.first().first().toString(), QStringLiteral("Bom dia"));
        QCOMPARE(dialog.Memo->toPlainText(), QStringLiteral("Bom dia"));  // no new line
        dialog.btnFechar->click();
        QVERIFY(!dialog.isVisible());
        dialog.ShowWithTextSelected();
        QCOMPARE(dialog.Memo->textCursor().selectedText(), QStringLiteral("Bom dia"));
    }

    void theMelodyEditorStartsWithOnlyTheStandardDescriptors() {
        Reader reader;
        QTemporaryDir folder;
        reader.tray.MelodyEditorPath = folder.filePath(QStringLiteral("melody"));
        QVERIFY(reader.tray.StartMelodyEditor().contains(QStringLiteral("não está instalado")));

        // An editor that lists its open descriptors: 0, 1, 2 and the one ls reads with.
        const QString listing = folder.filePath(QStringLiteral("fds"));
        QFile editor(reader.tray.MelodyEditorPath);
        QVERIFY(editor.open(QIODevice::WriteOnly));
        editor.write(
            QStringLiteral("#!/bin/sh\nexec ls /proc/self/fd > %1.tmp 2>/dev/null\n").arg(listing).toUtf8());
        editor.close();
        editor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(reader.tray.StartMelodyEditor(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(listing + ".tmp") && QFileInfo(listing + ".tmp").size() > 0,
                                 5000);
        QTest::qWait(100);
        QFile fds(listing + ".tmp");
        QVERIFY(fds.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(fds.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 QStringList({"0", "1", "2", "3"}));
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
