// The options dialog: defaults, the settings store, the hot key, what goes
// to the engine, and what a screen reader hears.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "Help.h"
#include "ReaderDoubles.h"
#include "SettingsSandbox.h"
#include "opcoes.h"

class OptionsTest : public QObject {
    Q_OBJECT

    SettingsSandbox settings;
    RecordingFalavoz engine;
    RecordingHotKey hotKey;

private slots:
    void init() {
        settings.Clear();
        engine.calls.clear();
    }

    void aFreshInstallationHasTheDefaults() {
        TfrmOpcoes options(engine, hotKey);
        QCOMPARE(options.scrVelocidade->value(), 10);
        QCOMPARE(options.scrTonalidade->value(), 10);
        QCOMPARE(options.scrVolume->value(), 20);
        QCOMPARE(options.cbTecla->currentText(), QStringLiteral("F9"));
        QCOMPARE(options.HotKeyVirtualKey(), 120);
        QCOMPARE(options.HotKeyModifiers(), 0);
        QCOMPARE(hotKey.virtualKey, 120);
        QCOMPARE(hotKey.modifiers, 0);
        QVERIFY(options.ckAnalise->isChecked());
        QVERIFY(options.ckDetectPause->isChecked());
        QVERIFY(options.ckPrioridade->isChecked());
        QVERIFY(options.HabilitarLembretes->isChecked());
        for (QCheckBox* off : {options.ckShift, options.ckCtrl, options.ckAlt, options.ckCase,
                               options.ckAspas, options.Compativel, options.IgnorarAtraso})
            QVERIFY2(!off->isChecked(), qPrintable(off->objectName()));
        QCOMPARE(options.Freq->text(), QStringLiteral("16000"));

        options.ApplyToEngine();
        QCOMPARE(engine.calls, QStringList({"SetMode 10 20 10", "SetOption 3 1", "SetOption 1 0",
                                            "SetOption 2 1", "SetOption 5 0", "SetOption 6 16000"}));
    }

    void okStoresEveryValueUnderItsName() {
        {
            TfrmOpcoes options(engine, hotKey);
            options.scrVelocidade->setValue(14);
            options.scrTonalidade->setValue(7);
            options.scrVolume->setValue(18);
            options.cbTecla->setCurrentIndex(11);
            emit options.cbTecla->activated(11);
            options.ckCtrl->click();
            options.ckAspas->click();
            options.Compativel->click();
            options.btnOk->click();
            QVERIFY(!options.isVisible());
        }
        const std::pair<const char*, const char*> stored[] = {{"cbTecla.Text", "F12"},
                                                              {"cbTecla.Tag", "123"},
                                                              {"ckCtrl.State", "cbChecked"},
                                                              {"ckShift.State", "cbUnchecked"},
                                                              {"ckAlt.State", "cbUnchecked"},
                                                              {"ckAnalise.State", "cbChecked"},
                                                              {"ckAspas.State", "cbChecked"},
                                                              {"ckCase.State", "cbUnchecked"},
                                                              {"ckDetectPause.State", "cbChecked"},
                                                              {"ckPrioridade.State", "cbChecked"},
                                                              {"Compativel.State", "cbChecked"},
                                                              {"Freq.Text", "17500"},
                                                              {"HabilitarLembretes.State", "cbChecked"},
                                                              {"IgnorarAtraso.State", "cbUnchecked"},
                                                              {"scrVelocidade.Position", "14"},
                                                              {"scrTonalidade.Position", "7"},
                                                              {"scrVolume.Position", "18"}};
        for (auto [name, value] : stored)
            QCOMPARE(settings.Value(QStringLiteral("Opcoes/") + QLatin1String(name)),
                     QString::fromUtf8(value));
        // OK also hands the settings to the engine.
        QVERIFY(engine.calls.contains(QStringLiteral("SetMode 14 18 7")));
        QVERIFY(engine.calls.contains(QStringLiteral("SetOption 6 17500")));

        TfrmOpcoes restored(engine, hotKey);
        QCOMPARE(restored.scrVelocidade->value(), 14);
        QCOMPARE(restored.scrTonalidade->value(), 7);
        QCOMPARE(restored.scrVolume->value(), 18);
        QCOMPARE(restored.cbTecla->currentText(), QStringLiteral("F12"));
        QVERIFY(restored.ckCtrl->isChecked());
        QVERIFY(restored.Compativel->isChecked());
        QCOMPARE(restored.Freq->text(), QStringLiteral("17500"));
        QCOMPARE(hotKey.virtualKey, 123);
        QCOMPARE(hotKey.modifiers, int(GlobalHotKey::kCtrl));
    }

    void theHotKeyFollowsTheControlsAtOnce() {
        TfrmOpcoes options(engine, hotKey);
        options.cbTecla->setCurrentIndex(0);
        emit options.cbTecla->activated(0);
        QCOMPARE(options.HotKeyVirtualKey(), 112);
        QCOMPARE(hotKey.virtualKey, 112);
        options.ckShift->click();
        options.ckAlt->click();
        QCOMPARE(hotKey.modifiers, GlobalHotKey::kShift | GlobalHotKey::kAlt);
    }

    void cancelRestoresTheStoredValuesAndSendsThem() {
        settings.Set(QStringLiteral("Opcoes/scrVelocidade.Position"), QStringLiteral("5"));
        TfrmOpcoes options(engine, hotKey);
        options.show();
        options.scrVelocidade->setValue(19);
        options.ckShift->click();
        QSignalSpy reminders(&options, &TfrmOpcoes::remindersSwitched);
        options.HabilitarLembretes->click();
        engine.calls.clear();
        options.btnCancelar->click();
        QCOMPARE(options.scrVelocidade->value(), 5);
        QCOMPARE(reminders.last().first().toBool(), true);  // the timer runs again
        QVERIFY(!options.ckShift->isChecked());
        QCOMPARE(hotKey.modifiers, 0);
        QCOMPARE(engine.calls.first(), QStringLiteral("SetMode 5 20 10"));
        QVERIFY(!options.isVisible());
        // Esc is Cancelar too.
        options.show();
        options.scrVelocidade->setValue(2);
        QTest::keyClick(&options, Qt::Key_Escape);
        QCOMPARE(options.scrVelocidade->value(), 5);
    }

    void theAnalysisBoxesReachTheEngineAtOnceAndTheSlidersDoNot() {
        TfrmOpcoes options(engine, hotKey);
        options.scrVolume->setValue(3);
        QVERIFY(engine.calls.isEmpty());
        options.ckCase->click();
        options.ckDetectPause->click();
        QCOMPARE(engine.calls, QStringList({"SetOption 1 1", "SetOption 2 0"}));
        options.Compativel->click();
        QCOMPARE(options.Freq->text(), QStringLiteral("17500"));
        options.Compativel->click();
        QCOMPARE(options.Freq->text(), QStringLiteral("16000"));
    }

    void testingSpeaksWithTheSlidersWithoutStoringThem() {
        TfrmOpcoes options(engine, hotKey);
        QSignalSpy speak(&options, &TfrmOpcoes::speakRequested);
        options.scrTonalidade->setValue(15);
        options.btnTestar->click();
        QCOMPARE(engine.calls, QStringList({"SetMode 10 20 15", "SetOption 6 16000"}));
        QCOMPARE(speak.count(), 1);
        QCOMPARE(speak.first().first().toString(), QStringLiteral("Testando o Falavoz"));
        QVERIFY(settings.Value(QStringLiteral("Opcoes/scrTonalidade.Position")).isEmpty());
    }

    void valuesThatDoNotParseLeaveTheDefaults() {
        const std::pair<const char*, const char*> damaged[] = {{"Opcoes/scrVelocidade.Position", "rápido"},
                                                               {"Opcoes/scrVolume.Position", "99"},
                                                               {"Opcoes/ckAlt.State", "talvez"},
                                                               {"Opcoes/ckAnalise.State", ""},
                                                               {"Opcoes/cbTecla.Text", "F99"},
                                                               {"Opcoes/cbTecla.Tag", "115"},
                                                               {"Opcoes/Freq.Text", "-1"}};
        for (auto [key, value] : damaged) settings.Set(QLatin1String(key), QString::fromUtf8(value));
        TfrmOpcoes options(engine, hotKey);
        QCOMPARE(options.scrVelocidade->value(), 10);
        QCOMPARE(options.scrVolume->value(), 20);  // held to the slider's range
        QVERIFY(!options.ckAlt->isChecked());
        QVERIFY(options.ckAnalise->isChecked());
        QCOMPARE(options.cbTecla->currentText(), QStringLiteral("F4"));  // from the tag
        QCOMPARE(hotKey.virtualKey, 115);
        QCOMPARE(options.Freq->text(), QStringLiteral("16000"));
    }

    void f1OnEveryControlHasAPageOfHelp() {
        TfrmOpcoes options(engine, hotKey);
        QCOMPARE(HelpContextOf(&options), 16);
        QVERIFY(HelpPage(16).endsWith(QStringLiteral("ajuda/16.html")));
        QVERIFY(HelpPage(999).endsWith(QStringLiteral("ajuda/index.html")));
        for (QWidget* control : options.findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus || control->isHidden()) continue;
            const int context = HelpContextOf(control);
            QVERIFY2(QFileInfo(HelpPage(context)).fileName() == QStringLiteral("%1.html").arg(context),
                     qPrintable(control->objectName()));
        }
    }

    void aScreenReaderHearsANameForEveryControl() {
        TfrmOpcoes options(engine, hotKey);
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        const QList<QWidget*> widgets = options.findChildren<QWidget*>();
        int focusable = 0;
        for (QWidget* widget : widgets) {
            if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus) continue;
            ++focusable;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(spoken);
            QVERIFY2(!spoken->text(QAccessible::Name).remove(QLatin1Char('&')).trimmed().isEmpty(),
                     qPrintable(widget->objectName()));
        }
        QCOMPARE(focusable, 20);
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
