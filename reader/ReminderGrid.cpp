#include "ReminderGrid.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

#include "Encoding.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kFileName = QStringLiteral("Lembret.dat");

}  // namespace

ReminderGrid::ReminderGrid() { rows_.append(NewRow()); }

ReminderGrid::Row ReminderGrid::NewRow() { return Row{{}, nextId_++}; }

QString ReminderGrid::Cell(int row, int column) const {
    if (row < 1 || row >= RowCount() || column < 0 || column >= kColumns) return {};
    return rows_[row - 1].cells[column];
}

void ReminderGrid::SetCell(int row, int column, const QString& text) {
    if (row < 1 || row >= RowCount() || column < 0 || column >= kColumns) return;
    rows_[row - 1].cells[column] = text;
}

int ReminderGrid::IdOf(int row) const { return row >= 1 && row < RowCount() ? rows_[row - 1].id : 0; }

int ReminderGrid::RowOf(int id) const {
    for (int k = 0; k < rows_.size(); ++k)
        if (rows_[k].id == id) return k + 1;
    return 0;
}

void ReminderGrid::AddEmptyLastRow() { rows_.append(NewRow()); }

void ReminderGrid::DeleteRow(int row) {
    if (row < 1 || row > LastReminderRow()) return;  // the empty last row stays
    rows_.removeAt(row - 1);
    currentRow = std::clamp(currentRow, 1, RowCount() - 1);
}

void ReminderGrid::Sort() {
    const int reminders = LastReminderRow();
    if (reminders < 2) return;
    auto key = [](const Row& row) {
        const QDate date = ParseDateText(row.cells[kDate]);
        return std::make_tuple(!date.isValid(), date.isValid() ? date.toJulianDay() : 0, row.cells[kTime]);
    };
    std::stable_sort(rows_.begin(), rows_.begin() + reminders,
                     [&](const Row& a, const Row& b) { return key(a) < key(b); });
}

QStringList ReminderGrid::Lines() const {
    QStringList lines{QString::number(RowCount())};
    for (const Row& row : rows_)
        for (const QString& cell : row.cells) lines << cell;
    return lines;
}

bool Repeat::IsValid(const QString& repeat) {
    return repeat == kNever || repeat == kDaily || repeat == kMonthly || repeat == kYearly;
}

// ---------------------------------------------------------------------------
// Dates

QString ReminderDateFormat() {
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::Portuguese, QLocale::Brazil);
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Two-digit years would read back in the wrong century.
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString DateText(const QDate& date) { return date.toString(ReminderDateFormat()); }

QDate ParseDateText(const QString& text) { return QDate::fromString(text.trimmed(), ReminderDateFormat()); }

QString NextOccurrence(const QString& repeat, const QDate& today) {
    // QDate keeps the Gregorian calendar and moves a day the target month
    // lacks to its last day.
    if (repeat == Repeat::kDaily) return DateText(today.addDays(1));
    if (repeat == Repeat::kMonthly) return DateText(today.addMonths(1));
    if (repeat == Repeat::kYearly) return DateText(today.addYears(1));
    return {};
}

int MinuteOfDay(const QString& time) {
    const QTime parsed = QTime::fromString(time.trimmed(), QStringLiteral("HH:mm"));
    return parsed.isValid() ? parsed.hour() * 60 + parsed.minute() : -1;
}

// ---------------------------------------------------------------------------
// The file

namespace {

// The file's text: UTF-8, or Windows-1252 from an older file.
QString DecodeFile(const QByteArray& bytes) {
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.toUtf8() == bytes) return utf8;
    return QString::fromStdString(Cp1252ToUtf8(bytes.toStdString()));
}

// Reads rows from the file's lines into the grid; false when the lines are
// not a whole reminders file (the rows read so far stay).
bool ReadRows(const QStringList& lines, ReminderGrid& grid) {
    bool isNumber = false;
    const int rowCount = lines.value(0).trimmed().toInt(&isNumber);
    if (!isNumber || rowCount < 2) return false;
    bool whole = true;
    int line = 1;
    for (int row = 1; row < rowCount; ++row, line += ReminderGrid::kColumns) {
        if (line + ReminderGrid::kColumns > lines.size()) return false;
        const QStringList cells = lines.mid(line, ReminderGrid::kColumns);
        if (cells.join(QString()).isEmpty()) continue;  // an empty row
        const bool spokenMark = cells[ReminderGrid::kSpoken].isEmpty() || cells[ReminderGrid::kSpoken] == "X";
        if (!spokenMark || !Repeat::IsValid(cells[ReminderGrid::kRepeat]) ||
            cells[ReminderGrid::kDate].isEmpty()) {
            whole = false;
            continue;
        }
        const int target = grid.RowCount() - 1;
        for (int column = 0; column < ReminderGrid::kColumns; ++column)
            grid.SetCell(target, column, cells[column]);
        grid.AddEmptyLastRow();
    }
    // Nothing may follow the last row but the end of the file.
    for (; line < lines.size(); ++line)
        if (!lines[line].isEmpty()) whole = false;
    return whole;
}

// A name beside the file that no file has yet.
QString AsideName(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = QStringLiteral("%1.danificado-%2").arg(path, stamp);
    for (int k = 2; QFileInfo::exists(aside); ++k)
        aside = QStringLiteral("%1.danificado-%2-%3").arg(path, stamp).arg(k);
    return aside;
}

}  // namespace

ReminderFileLoad LoadReminderFile(const QString& path, ReminderGrid& grid) {
    grid = ReminderGrid();
    ReminderFileLoad result;
    QFile file(path);
    if (!file.exists()) return result;
    bool whole = false;
    if (file.open(QIODevice::ReadOnly)) {
        QStringList lines = DecodeFile(file.readAll()).split(QLatin1Char('\n'));
        for (QString& line : lines)
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        whole = file.error() == QFileDevice::NoError && ReadRows(lines, grid);
        file.close();
    }
    if (whole) return result;

    result.damaged = true;
    const int kept = grid.LastReminderRow();
    const QString aside = AsideName(path);
    if (QFile::rename(path, aside)) {
        result.message = QStringLiteral(
                             "O arquivo de lembretes %1 estava danificado e foi guardado como %2. "
                             "%3 lembrete(s) puderam ser lidos e continuam na lista.")
                             .arg(path, aside)
                             .arg(kept);
    } else {
        result.canSave = false;
        result.message = QStringLiteral(
                             "O arquivo de lembretes %1 não pôde ser lido nem guardado à parte. "
                             "%2 lembrete(s) puderam ser lidos. Para não apagá-lo, o Leitor não gravará "
                             "lembretes nesta sessão.")
                             .arg(path)
                             .arg(kept);
    }
    return result;
}

QString SaveReminderFile(const QString& path, const ReminderGrid& grid) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Não foi possível gravar os lembretes em %1: %2").arg(path, file.errorString());
    file.write((grid.Lines().join(kLineEnd) + kLineEnd).toUtf8());
    if (!file.commit())
        return QStringLiteral("Não foi possível gravar os lembretes em %1: %2").arg(path, file.errorString());
    return {};
}

QString ReminderFilePath() {
    const QString beside = QCoreApplication::applicationDirPath();
    const QString besideFile = beside + QLatin1Char('/') + kFileName;
    if (QFileInfo::exists(besideFile) || QFileInfo(beside).isWritable()) return besideFile;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data + QLatin1Char('/') + kFileName;
}
