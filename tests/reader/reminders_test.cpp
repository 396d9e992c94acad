// The reminders' store and scheduler: "Lembret.dat" in its exact layout,
// damaged files set aside, saves that survive a kill, the next occurrences of
// repeating reminders, and the due-reminder check on a clock of the test's own.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "ReminderGrid.h"
#include "ReminderScheduler.h"
#include "falavoz32.h"

namespace {

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Appends a reminder into the grid's empty last row.
void Add(ReminderGrid& grid, const QString& date, const QString& time, const QString& repeat,
         const QString& message, bool spoken = false) {
    const int row = grid.RowCount() - 1;
    grid.SetCell(row, ReminderGrid::kSpoken, spoken ? QStringLiteral("X") : QString());
    grid.SetCell(row, ReminderGrid::kDate, date);
    grid.SetCell(row, ReminderGrid::kTime, time);
    grid.SetCell(row, ReminderGrid::kRepeat, repeat);
    grid.SetCell(row, ReminderGrid::kMessage, message);
    grid.AddEmptyLastRow();
}

QStringList Column(const ReminderGrid& grid, int column) {
    QStringList cells;
    for (int row = 1; row <= grid.LastReminderRow(); ++row) cells << grid.Cell(row, column);
    return cells;
}

const QDate kToday(2026, 12, 8);

}  // namespace

class RemindersTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QString file;

    // The scheduler's world: a clock, and an engine that records what it
    // was asked to say.
    QDateTime now;
    QStringList spoken;
    QList<int> playResults;
    bool ignoreLate = false;
    int gridChanges = 0;

    void Bind(ReminderScheduler& scheduler) {
        scheduler.EnsureEngine = [] { return true; };
        scheduler.PlayText = [this](const QString& text) {
            spoken << text;
            return playResults.isEmpty() ? int(FV_OK) : playResults.takeFirst();
        };
        scheduler.StopText = [this] {
            spoken << QStringLiteral("(stop)");
            return int(FV_OK);
        };
        scheduler.BusyRetry = [] { return true; };
        scheduler.IgnoreLate = [this] { return ignoreLate; };
        scheduler.GridChanged = [this] { ++gridChanges; };
    }
    void At(int hour, int minute, int second = 0, int daysFromToday = 0) {
        now = QDateTime(kToday.addDays(daysFromToday), QTime(hour, minute, second));
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        file = folder.filePath(QStringLiteral("Lembret.dat"));
    }
    void init() {
        QFile::remove(file);
        spoken.clear();
        playResults.clear();
        ignoreLate = false;
        gridChanges = 0;
    }

    // -- the file

    void theFileHasTheRowCountAndFiveLinesARowWithCrLf() {
        ReminderGrid grid;
        QCOMPARE(SaveReminderFile(file, grid), QString());
        QCOMPARE(Slurp(file), QByteArray("2\r\n\r\n\r\n\r\n\r\n\r\n"));

        Add(grid, "08/12/2026", "14:30", Repeat::kNever, "Reunião às três", true);
        Add(grid, "09/12/2026", "07:00", Repeat::kDaily, "Remédio");
        QCOMPARE(SaveReminderFile(file, grid), QString());
        QCOMPARE(Slurp(file),
                 QStringLiteral("4\r\nX\r\n08/12/2026\r\n14:30\r\nNão\r\nReunião às três\r\n"
                                "\r\n09/12/2026\r\n07:00\r\nTodo Dia\r\nRemédio\r\n\r\n\r\n\r\n\r\n\r\n")
                     .toUtf8());

        ReminderGrid read;
        const ReminderFileLoad load = LoadReminderFile(file, read);
        QVERIFY(!load.damaged);
        QCOMPARE(read.Lines(), grid.Lines());
    }

    void anOlderFileInWindows1252ReadsItsAccents() {
        Write(file, "3\r\nX\r\n08/12/2026\r\n09:00\r\nTodo M\xEAs\r\nReuni\xE3o\r\n\r\n\r\n\r\n\r\n\r\n");
        ReminderGrid grid;
        QVERIFY(!LoadReminderFile(file, grid).damaged);
        QCOMPARE(grid.Cell(1, ReminderGrid::kRepeat), Repeat::kMonthly);
        QCOMPARE(grid.Cell(1, ReminderGrid::kMessage), QStringLiteral("Reunião"));
    }

    void aMissingFileIsAnEmptyList() {
        ReminderGrid grid;
        const ReminderFileLoad load = LoadReminderFile(file, grid);
        QVERIFY(!load.damaged);
        QVERIFY(load.message.isEmpty());
        QCOMPARE(grid.RowCount(), 2);
        QVERIFY(!QFile::exists(file));
    }

    void aDamagedFileIsKeptAsideAndItsGoodRowsKept() {
        const QByteArray damaged(
            "4\r\n\r\n08/12/2026\r\n10:00\r\nN\xC3\xA3o\r\nPrimeiro\r\n"
            "\r\n08/12/2026\r\n11:00\r\nToda Hora\r\nRepeti\xC3\xA7\xC3\xA3o errada\r\n"
            "\r\n09/12/2026\r\n");  // the file ends in the middle of a row
        Write(file, damaged);
        ReminderGrid grid;
        const ReminderFileLoad load = LoadReminderFile(file, grid);
        QVERIFY(load.damaged);
        QVERIFY(load.canSave);
        QVERIFY(load.message.contains(QStringLiteral("danificado")));
        QCOMPARE(Column(grid, ReminderGrid::kMessage), QStringList({"Primeiro"}));
        QVERIFY(!QFile::exists(file));
        const QStringList aside = QDir(folder.path()).entryList({"Lembret.dat.danificado*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(Slurp(folder.filePath(aside.first())), damaged);

        // A second damaged file never replaces the first one set aside.
        Write(file, "não é um número\r\n");
        QVERIFY(LoadReminderFile(file, grid).damaged);
        QCOMPARE(grid.LastReminderRow(), 0);
        const QStringList both = QDir(folder.path()).entryList({"Lembret.dat.danificado*"});
        QCOMPARE(both.size(), 2);
        QCOMPARE(Slurp(folder.filePath(aside.first())), damaged);
        for (const QString& name : both) QFile::remove(folder.filePath(name));
    }

    void aDateThatDoesNotParseIsKeptAndGoesLast() {
        ReminderGrid grid;
        Add(grid, "amanhã", "08:00", Repeat::kNever, "sem data");
        Add(grid, "09/12/2026", "08:00", Repeat::kNever, "dia 9 às 8");
        Add(grid, "08/12/2026", "20:00", Repeat::kNever, "dia 8 às 20");
        Add(grid, "08/12/2026", "08:00", Repeat::kNever, "dia 8 às 8, primeiro");
        Add(grid, "08/12/2026", "08:00", Repeat::kNever, "dia 8 às 8, segundo");
        grid.Sort();
        QCOMPARE(Column(grid, ReminderGrid::kMessage),
                 QStringList({"dia 8 às 8, primeiro", "dia 8 às 8, segundo", "dia 8 às 20", "dia 9 às 8",
                              "sem data"}));
        QCOMPARE(SaveReminderFile(file, grid), QString());
        ReminderGrid read;
        QVERIFY(!LoadReminderFile(file, read).damaged);
        QCOMPARE(read.Cell(5, ReminderGrid::kDate), QStringLiteral("amanhã"));
    }

    // Saves two versions of a long list over and over in a child process,
    // which is killed at a random moment: the file is always one of them, whole.
    void aSaveKilledMidwayLeavesTheOldOrTheNewFileWhole() {
        ReminderGrid first, second;
        for (int k = 0; k < 3000; ++k) {
            Add(first, "08/12/2026", "10:00", Repeat::kNever, QStringLiteral("primeira versão %1").arg(k));
            Add(second, "09/12/2026", "11:00", Repeat::kDaily, QStringLiteral("segunda versão %1").arg(k));
        }
        QCOMPARE(SaveReminderFile(file, first), QString());
        const QStringList firstLines = first.Lines(), secondLines = second.Lines();
        for (int round = 0; round < 12; ++round) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int k = 0;; ++k) SaveReminderFile(file, k % 2 ? first : second);
                _exit(0);
            }
            QTest::qSleep(20 + QRandomGenerator::global()->bounded(200));
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            ReminderGrid read;
            QVERIFY2(!LoadReminderFile(file, read).damaged,
                     qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(read.Lines() == firstLines || read.Lines() == secondLines);
        }
    }

    // -- dates

    void nextOccurrencesFollowTheCalendar() {
        const struct {
            const QString& repeat;
            QDate today;
            const char* next;
        } cases[] = {
            {Repeat::kDaily, QDate(2025, 2, 28), "01/03/2025"},
            {Repeat::kDaily, QDate(2024, 2, 28), "29/02/2024"},
            {Repeat::kDaily, QDate(2100, 2, 28), "01/03/2100"},
            {Repeat::kDaily, QDate(2000, 2, 28), "29/02/2000"},
            {Repeat::kDaily, QDate(2026, 12, 31), "01/01/2027"},
            {Repeat::kDaily, QDate(2026, 4, 30), "01/05/2026"},
            {Repeat::kMonthly, QDate(2025, 1, 31), "28/02/2025"},
            {Repeat::kMonthly, QDate(2024, 1, 31), "29/02/2024"},
            {Repeat::kMonthly, QDate(2026, 3, 31), "30/04/2026"},
            {Repeat::kMonthly, QDate(2026, 12, 15), "15/01/2027"},
            {Repeat::kYearly, QDate(2024, 2, 29), "28/02/2025"},
            {Repeat::kYearly, QDate(2026, 12, 8), "08/12/2027"},
        };
        for (const auto& c : cases) QCOMPARE(NextOccurrence(c.repeat, c.today), QString::fromUtf8(c.next));
        QCOMPARE(NextOccurrence(Repeat::kNever, kToday), QString());
        QCOMPARE(MinuteOfDay(QStringLiteral("14:30")), 870);
        QCOMPARE(MinuteOfDay(QStringLiteral("  :  ")), -1);
    }

    // -- the scheduler

    void aReminderIsSpokenAtItsMinuteAsItsTimeAPauseAndItsMessage() {
        ReminderGrid grid;
        Add(grid, DateText(kToday), "14:30", Repeat::kNever, "Reunião com a equipe");
        At(9, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        At(14, 29);
        scheduler.CheckDue();
        QVERIFY(spoken.isEmpty());
        At(14, 30);
        scheduler.CheckDue();
        QCOMPARE(spoken, QStringList({"14:30 \\P300 Reunião com a equipe"}));
        QVERIFY(grid.Spoken(1));
        QCOMPARE(gridChanges, 1);
        scheduler.SpeechEnded(FV_OK);
        At(14, 31);
        scheduler.CheckDue();
        QCOMPARE(spoken.size(), 1);
    }

    void aMissedReminderIsSpokenLateUnlessLateOnesAreIgnored() {
        for (bool ignore : {false, true}) {
            spoken.clear();
            ignoreLate = ignore;
            ReminderGrid grid;
            Add(grid, DateText(kToday), "14:30", Repeat::kNever, "Reunião");
            At(15, 0, 20);  // the reader started at 15:00
            ReminderScheduler scheduler(grid, [this] { return now; });
            Bind(scheduler);
            scheduler.BuildSchedule();
            At(15, 1);
            scheduler.CheckDue();
            QCOMPARE(spoken, ignore ? QStringList()
                                    : QStringList({"Atenção. Mensagem em atraso. 14:30 \\P300 Reunião"}));
        }
    }

    void overdueRemindersFollowEachOtherAndOnlyTheFirstIsAnnounced() {
        ReminderGrid grid;
        Add(grid, DateText(kToday.addDays(-1)), "18:00", Repeat::kNever, "Ontem");
        Add(grid, DateText(kToday), "08:00", Repeat::kNever, "Cedo");
        Add(grid, DateText(kToday), "09:00", Repeat::kNever, "Mais tarde");
        At(10, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        scheduler.CheckDue();
        QVERIFY(scheduler.SpeakingSeries());
        scheduler.SpeechEnded(FV_OK);
        scheduler.SpeechEnded(FV_OK);
        scheduler.SpeechEnded(FV_OK);
        QCOMPARE(spoken, QStringList({"Atenção. Mensagem em atraso. 07/12/2026 \\P300 Ontem",
                                      "08:00 \\P300 Cedo", "09:00 \\P300 Mais tarde"}));
        QVERIFY(!scheduler.SpeakingSeries());
        QCOMPARE(Column(grid, ReminderGrid::kSpoken), QStringList({"X", "X", "X"}));
    }

    void cancellingALateAnnouncementSilencesLateOnesButNotThoseOnTime() {
        ReminderGrid grid;
        Add(grid, DateText(kToday), "08:00", Repeat::kNever, "Atrasado 1");
        Add(grid, DateText(kToday), "09:00", Repeat::kNever, "Atrasado 2");
        Add(grid, DateText(kToday), "10:05", Repeat::kNever, "Na hora");
        At(10, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        scheduler.CheckDue();
        QCOMPARE(spoken.size(), 1);
        scheduler.SpeechCancelled();  // "Cancelar Locução" during the late announcement
        scheduler.SpeechEnded(FV_OK);
        QCOMPARE(spoken.size(), 1);
        QVERIFY(scheduler.LateSuppressed());
        At(10, 1);
        scheduler.CheckDue();
        QCOMPARE(spoken.size(), 1);
        At(10, 5);
        scheduler.CheckDue();
        QCOMPARE(spoken.last(), QStringLiteral("10:05 \\P300 Na hora"));
    }

    void aRepeatingReminderGetsItsNextOccurrenceOnceItIsSpoken() {
        ReminderGrid grid;
        Add(grid, DateText(kToday), "07:00", Repeat::kDaily, "Remédio");
        At(7, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        scheduler.CheckDue();
        QCOMPARE(Column(grid, ReminderGrid::kDate), QStringList({"08/12/2026", "09/12/2026"}));
        QCOMPARE(Column(grid, ReminderGrid::kSpoken), QStringList({"X", ""}));
        QVERIFY(!grid.HoldsReminder(grid.RowCount() - 1));
    }

    void aSpeechThatFailsIsTriedAgainWithoutADuplicate() {
        ReminderGrid grid;
        Add(grid, DateText(kToday), "07:00", Repeat::kDaily, "Remédio");
        At(7, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        scheduler.CheckDue();
        scheduler.SpeechEnded(FV_NO_DEVICE);  // the sound card failed during the speech
        QCOMPARE(Column(grid, ReminderGrid::kSpoken), QStringList({""}));
        At(7, 1);
        scheduler.CheckDue();  // late now, tried again
        QCOMPARE(spoken.size(), 2);
        QCOMPARE(Column(grid, ReminderGrid::kDate), QStringList({"08/12/2026", "09/12/2026"}));
    }

    void aStartTheEngineRefusesLeavesTheReminderForTheNextCheck() {
        ReminderGrid grid;
        Add(grid, DateText(kToday), "07:00", Repeat::kNever, "Primeiro");
        Add(grid, DateText(kToday), "07:00", Repeat::kNever, "Segundo");
        At(7, 0);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        // The first start fails and reports its end at once; the second is busy
        // and replaces what was speaking.
        scheduler.PlayText = [&](const QString& text) {
            spoken << text;
            if (spoken.size() == 1) {
                scheduler.SpeechEnded(FV_NO_DEVICE);
                return int(FV_NO_DEVICE);
            }
            return spoken.size() == 2 ? int(FV_BUSY) : int(FV_OK);
        };
        scheduler.CheckDue();
        QCOMPARE(spoken, QStringList({"07:00 \\P300 Primeiro", "07:00 \\P300 Segundo", "(stop)",
                                      "07:00 \\P300 Segundo"}));
        QCOMPARE(Column(grid, ReminderGrid::kSpoken), QStringList({"", "X"}));
    }

    void theTimerAlignsOnTheFullMinuteAndANewDayRebuildsTheSchedule() {
        ReminderGrid grid;
        Add(grid, DateText(kToday.addDays(1)), "00:01", Repeat::kNever, "Amanhã cedo");
        At(23, 59, 30);
        ReminderScheduler scheduler(grid, [this] { return now; });
        Bind(scheduler);
        scheduler.BuildSchedule();
        scheduler.SetEnabled(true);
        QCOMPARE(scheduler.Timer.interval(), ReminderScheduler::kAligningMs);
        scheduler.Tick();
        QCOMPARE(scheduler.Timer.interval(), ReminderScheduler::kAligningMs);
        At(0, 0, 0, 1);
        scheduler.Tick();
        QCOMPARE(scheduler.Timer.interval(), ReminderScheduler::kMinuteMs);
        QCOMPARE(scheduler.Schedule().size(), 1);
        At(0, 1, 0, 1);
        scheduler.Tick();
        QCOMPARE(spoken, QStringList({"00:01 \\P300 Amanhã cedo"}));
        At(0, 2, 7, 1);  // the machine slept: realign
        scheduler.Tick();
        QCOMPARE(scheduler.Timer.interval(), ReminderScheduler::kAligningMs);
        scheduler.SetEnabled(false);
        QVERIFY(!scheduler.Timer.isActive());
    }
};

QTEST_MAIN(RemindersTest)
#include "reminders_test.moc"
