// The reminder windows: the new/edit dialog's checks and what it writes, the
// list's buttons, and the next-reminders window with its player buttons and
// the reading through, over a recording engine.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "Lembrete.h"
#include "LembretesSimples.h"
#include "NovoLembrete.h"
#include "ReaderDoubles.h"
#include "SettingsSandbox.h"
#include "SysTray.h"
#include "main.h"
#include "opcoes.h"

namespace {

void Add(ReminderGrid& grid, const QDate& date, const QString& time, const QString& message,
         bool spoken = false) {
    const int row = grid.RowCount() - 1;
    grid.SetCell(row, ReminderGrid::kSpoken, spoken ? QStringLiteral("X") : QString());
    grid.SetCell(row, ReminderGrid::kDate, DateText(date));
    grid.SetCell(row, ReminderGrid::kTime, time);
    grid.SetCell(row, ReminderGrid::kRepeat, Repeat::kNever);
    grid.SetCell(row, ReminderGrid::kMessage, message);
    grid.AddEmptyLastRow();
}

QStringList Messages(const ReminderGrid& grid) {
    QStringList messages;
    for (int row = 1; row <= grid.LastReminderRow(); ++row)
        messages << grid.Cell(row, ReminderGrid::kMessage);
    return messages;
}

}  // namespace

// The reader with its reminders, around a recording engine.
struct Reader {
    QTemporaryDir folder;
    RecordingFalavoz engine;
    RecordingHotKey hotKey;
    TfrmMain main{engine, hotKey};
    TfrmOpcoes options{engine, hotKey};
    TTrayForm tray;
    TfrmLembretes list{folder.filePath(QStringLiteral("Lembret.dat"))};
    QStringList told;

    Reader() {
        main.Attach(&options, &tray);
        main.ShowError = [this](int code) { told << QStringLiteral("erro %1").arg(code); };
        list.Tell = [this](const QString&, const QString& text) { told << text; };
        list.Load();
        list.Attach(main);
    }
};

class ReminderWindowsTest : public QObject {
    Q_OBJECT

    SettingsSandbox settings;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void theDialogRefusesATimeThatIsNoTimeOfDay() {
        ReminderGrid grid;
        TfrmNovoLembrete dialog(grid);
        QStringList told;
        dialog.Tell = [&](const QString&, const QString& text) { told << text; };
        dialog.PrepareNew(QDate(2026, 12, 8));
        for (const char* wrong : {"25:00", "24:00", "12:60", "  :  "}) {
            dialog.Hora->setText(QString::fromLatin1(wrong));
            QVERIFY2(!dialog.Store(), wrong);
        }
        QCOMPARE(told.size(), 4);
        QCOMPARE(told.first(), QStringLiteral("Hora Inválida                "));
        QCOMPARE(grid.LastReminderRow(), 0);
        dialog.Hora->setText(QStringLiteral("7:05"));
        QCOMPARE(dialog.TimeText(), QStringLiteral("07:05"));
        dialog.Hora->setText(QStringLiteral("23:59"));
        QVERIFY(dialog.Store());
    }

    void aNewReminderGoesIntoTheEmptyRowAsOneLine() {
        ReminderGrid grid;
        TfrmNovoLembrete dialog(grid);
        dialog.PrepareNew(QDate(2026, 12, 8));
        dialog.Hora->setText(QStringLiteral("14:30"));
        dialog.rbMensal->setChecked(true);
        dialog.Mensagem->setPlainText(QStringLiteral("Pagar a conta\nde luz"));
        QVERIFY(dialog.Store());
        QCOMPARE(grid.RowCount(), 3);
        QCOMPARE(grid.Lines().mid(1, 5),
                 QStringList({"", "08/12/2026", "14:30", "Todo Mês", " Pagar a conta de luz"}));
        QVERIFY(!grid.HoldsReminder(2));
    }

    void aNewReminderAtATakenMinuteAsksBeforeReplacing() {
        ReminderGrid grid;
        Add(grid, QDate(2026, 12, 8), "14:30", "Antigo", true);
        TfrmNovoLembrete dialog(grid);
        QStringList asked;
        bool answer = false;
        dialog.Ask = [&](const QString& caption, const QString& question) {
            asked << caption + ": " + question;
            return answer;
        };
        dialog.PrepareNew(QDate(2026, 12, 8));
        dialog.Hora->setText(QStringLiteral("14:30"));
        dialog.Mensagem->setPlainText(QStringLiteral("Novo"));
        QVERIFY(!dialog.Store());  // No: the dialog stays, nothing changes
        QCOMPARE(asked,
                 QStringList({"Importante: Já existe outro Lembrete marcado para a mesma data e hora.\r\n"
                              "Deseja substitui-lo?"}));
        QCOMPARE(Messages(grid), QStringList({"Antigo"}));
        answer = true;
        QVERIFY(dialog.Store());
        QCOMPARE(Messages(grid), QStringList({"Novo"}));
        QVERIFY(!grid.Spoken(1));  // a replaced reminder is to be spoken again
        QCOMPARE(grid.RowCount(), 3);

        // Editing asks nothing.
        grid.currentRow = 1;
        QVERIFY(dialog.PrepareEdit());
        dialog.Mensagem->setPlainText(QStringLiteral("Editado"));
        QVERIFY(dialog.Store());
        QCOMPARE(asked.size(), 2);
        QCOMPARE(Messages(grid), QStringList({"Editado"}));
        grid.currentRow = 2;
        QVERIFY(!dialog.PrepareEdit());  // the empty last row
    }

    void theListSavesEveryChangeAndDeletesSpokenReminders() {
        Reader reader;
        ReminderGrid& grid = reader.list.Grid;
        Add(grid, QDate(2026, 12, 8), "09:00", "Falado 1", true);
        Add(grid, QDate(2026, 12, 8), "10:00", "Por falar");
        Add(grid, QDate(2026, 12, 9), "09:00", "Falado 2", true);
        reader.list.GridEdited();
        reader.list.DeleteSpokenReminders();
        QCOMPARE(Messages(grid), QStringList({"Por falar"}));
        ReminderGrid stored;
        QVERIFY(!LoadReminderFile(reader.folder.filePath(QStringLiteral("Lembret.dat")), stored).damaged);
        QCOMPARE(Messages(stored), QStringList({"Por falar"}));

        grid.currentRow = 1;
        reader.list.DeleteReminder();
        QCOMPARE(grid.RowCount(), 2);
        reader.list.DeleteReminder();  // nothing left but the empty row
        QCOMPARE(grid.RowCount(), 2);
    }

    void theListsDefaultButtonFollowsTheCell() {
        Reader reader;
        Add(reader.list.Grid, QDate(2026, 12, 8), "09:00", "Um");
        reader.list.GridEdited();
        QTableView* table = reader.list.Grade;
        table->setCurrentIndex(table->model()->index(0, ReminderGrid::kMessage));
        QVERIFY(reader.list.btnEditar->isDefault());
        table->setCurrentIndex(table->model()->index(1, ReminderGrid::kMessage));
        QVERIFY(reader.list.btnNovo->isDefault());
        // The message is edited in place, and only the message.
        QVERIFY(table->model()->flags(table->model()->index(0, ReminderGrid::kMessage)) & Qt::ItemIsEditable);
        QVERIFY(!(table->model()->flags(table->model()->index(0, ReminderGrid::kDate)) & Qt::ItemIsEditable));
        QVERIFY(
            !(table->model()->flags(table->model()->index(1, ReminderGrid::kMessage)) & Qt::ItemIsEditable));
    }

    void theNextRemindersWindowStepsAndColoursTheReminders() {
        Reader reader;
        const QDate today = QDate::currentDate();
        Add(reader.list.Grid, today.addDays(-1), "09:00", "Passou", false);
        Add(reader.list.Grid, today.addDays(-1), "10:00", "Falado", true);
        Add(reader.list.Grid, today.addDays(1), "09:00", "Amanhã");
        reader.list.GridEdited();
        TfrmLembretesSimples next(reader.list, reader.main);
        QCOMPARE(next.Mensagem->toPlainText(), QStringLiteral("Passou"));
        QCOMPARE(next.Mensagem->accessibleDescription(), QStringLiteral("Atrasado: a hora já passou"));
        next.Next();
        QCOMPARE(next.Mensagem->accessibleDescription(), QStringLiteral("Já falado"));
        next.Next();
        QCOMPARE(next.Mensagem->toPlainText(), QStringLiteral("Amanhã"));
        QCOMPARE(next.lbRepeticao->text(), QStringLiteral("Não repete"));
        next.Next();  // the last reminder: no further
        QCOMPARE(next.Mensagem->toPlainText(), QStringLiteral("Amanhã"));
        reader.list.Grid.currentRow = 4;  // the empty row, reached from the list
        next.Refresh();
        QCOMPARE(next.Mensagem->toPlainText(), QStringLiteral("Fim dos Lembretes"));
        next.Previous();
        next.Previous();
        next.Previous();
        next.Previous();
        QCOMPARE(reader.list.Grid.currentRow, 1);
    }

    void playReadsTheRemindersThroughUntilTheLastOrACancel() {
        Reader reader;
        const QDate tomorrow = QDate::currentDate().addDays(1);
        for (const char* message : {"Um", "Dois", "Três"}) Add(reader.list.Grid, tomorrow, "09:00", message);
        reader.list.GridEdited();
        TfrmLembretesSimples next(reader.list, reader.main);
        next.Play();
        QVERIFY(next.ReadingThrough());
        QVERIFY(reader.tray.cmCancelar->isEnabled());
        reader.engine.End(FV_OK);
        reader.engine.End(FV_OK);
        QCOMPARE(reader.engine.CallsOf("PlayText"),
                 QStringList({"PlayText Um \\P800 ", "PlayText Dois", "PlayText Três"}));
        reader.engine.End(FV_OK);
        QVERIFY(!next.ReadingThrough());
        QCOMPARE(reader.list.Grid.currentRow, 1);

        next.Play();
        reader.tray.cmCancelar->trigger();
        QVERIFY(!next.ReadingThrough());
        QCOMPARE(reader.engine.CallsOf("PlayText").size(), 4);
        QVERIFY(!reader.tray.cmCancelar->isEnabled());

        // Stop ends the speech and the menu follows.
        next.Play();
        next.Stop();
        QCOMPARE(reader.engine.calls.last(), QStringLiteral("StopText"));
        QVERIFY(!reader.tray.cmCancelar->isEnabled());
        QVERIFY(!next.ReadingThrough());
    }

    void aReminderSeriesShowsNoErrorBoxButOtherSpeechDoes() {
        Reader reader;
        Add(reader.list.Grid, QDate::currentDate().addDays(-1), "09:00", "Ontem");
        reader.list.GridEdited();
        reader.list.Scheduler.CheckDue();
        QVERIFY(reader.list.Scheduler.SpeakingSeries());
        reader.engine.End(FV_DEVICE_WRITE_ERROR);
        QVERIFY(reader.told.isEmpty());
        QVERIFY(!reader.list.Grid.Spoken(1));  // to be tried again
        reader.main.SpeakRequest(QStringLiteral("outra coisa"));
        reader.engine.End(FV_DEVICE_WRITE_ERROR);
        QCOMPARE(reader.told, QStringList({"erro -11"}));
    }

    void unsettingTheRemindersStopsTheTimer() {
        Reader reader;
        QVERIFY(reader.list.Scheduler.Timer.isActive());
        reader.options.HabilitarLembretes->click();
        QVERIFY(!reader.list.Scheduler.Timer.isActive());
        reader.options.HabilitarLembretes->click();
        QVERIFY(reader.list.Scheduler.Timer.isActive());
    }
};

QTEST_MAIN(ReminderWindowsTest)
#include "reminder_windows_test.moc"
