// The reminders: a grid of five texts a row (spoken mark, date, time,
// repetition, message), which is also what the file "Lembret.dat" holds.
// Row 0 is the header; rows 1 to RowCount() - 2 hold the reminders in date
// and time order; the last row is always empty and receives the next new
// reminder. An empty store has two rows.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <array>

class ReminderGrid {
public:
    enum Column { kSpoken = 0, kDate, kTime, kRepeat, kMessage };
    static constexpr int kColumns = 5;

    ReminderGrid();

    int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
    // The last reminder row; 0 when there is none.
    int LastReminderRow() const { return RowCount() - 2; }
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    // A row without a date holds no reminder (the empty last row).
    bool HoldsReminder(int row) const { return !Cell(row, kDate).isEmpty(); }
    bool Spoken(int row) const { return Cell(row, kSpoken) == QLatin1String("X"); }

    // A stable name for a row's reminder while the program runs: rows move
    // when the grid is sorted or a row is deleted.
    int IdOf(int row) const;
    // The row of that reminder; 0 when it is gone.
    int RowOf(int id) const;

    void AddEmptyLastRow();
    // Deletes a reminder row; the empty last row stays.
    void DeleteRow(int row);
    // Orders the reminder rows by date, then time; equal keys keep their
    // order, and dates that cannot be read go last.
    void Sort();

    // The row the windows show and act on.
    int currentRow = 1;

    // The file, whole: all rows but the header.
    QStringList Lines() const;

private:
    struct Row {
        std::array<QString, kColumns> cells;
        int id;
    };
    Row NewRow();

    QList<Row> rows_;  // grid row r is rows_[r - 1]
    int nextId_ = 1;
};

// Repetitions as the grid writes them.
namespace Repeat {
inline const QString kNever = QStringLiteral("Não");
inline const QString kDaily = QStringLiteral("Todo Dia");
inline const QString kMonthly = QStringLiteral("Todo Mês");
inline const QString kYearly = QStringLiteral("Todo Ano");
bool IsValid(const QString& repeat);
}  // namespace Repeat

// Dates in the grid: the short date format of the user's locale, with the
// year in four digits (the Brazilian dd/MM/yyyy where the system has none).
QString ReminderDateFormat();
QString DateText(const QDate& date);
// Invalid when the text is no date in that format.
QDate ParseDateText(const QString& text);
// The date of the next occurrence of a reminder spoken today; empty for one
// that does not repeat. A monthly one keeps its day where the month has it,
// else the month's last day; a yearly one of 29 February falls on 28
// February in common years.
QString NextOccurrence(const QString& repeat, const QDate& today);
// The minutes of an "HH:MM" time since midnight; -1 when it is no time.
int MinuteOfDay(const QString& time);

// "Lembret.dat".
struct ReminderFileLoad {
    bool damaged = false;  // the file was damaged or could not be read
    bool canSave = true;   // false when it could not be moved aside either
    QString message;       // for the user, when something went wrong
};
// Fills the grid from the file. A missing file gives an empty grid. A file
// that cannot be read or that is damaged is renamed aside (never over
// another file) and the rows that could be read are kept.
ReminderFileLoad LoadReminderFile(const QString& path, ReminderGrid& grid);
// Writes the grid to a temporary file beside the target, syncs it and puts
// it in the target's place: the old file or the new one is there, whole.
// Empty on success, else the problem in Portuguese.
QString SaveReminderFile(const QString& path, const ReminderGrid& grid);
// Where the reader keeps the file: beside the program when that folder is
// writable or already holds it, else in the user's data folder.
QString ReminderFilePath();
