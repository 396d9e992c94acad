#include "ReminderScheduler.h"

#include "ReminderGrid.h"
#include "falavoz32.h"

ReminderScheduler::ReminderScheduler(ReminderGrid& grid, Clock clock, QObject* parent)
    : QObject(parent),
      grid_(grid),
      clock_(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }) {
    Timer.setInterval(kMinuteMs);
    connect(&Timer, &QTimer::timeout, this, &ReminderScheduler::Tick);
}

void ReminderScheduler::SetEnabled(bool enabled) {
    if (enabled) {
        Timer.start(kAligningMs);
    } else {
        Timer.stop();
    }
}

void ReminderScheduler::Tick() {
    const QDateTime now = clock_();
    if (Timer.interval() == kAligningMs) {
        if (now.time().second() != 0) return;
        Timer.setInterval(kMinuteMs);  // on the full minute from now on
    }
    if (now.date() != scheduleDate_) BuildSchedule();
    CheckDue();
}

void ReminderScheduler::BuildSchedule() {
    const QDate today = clock_().date();
    schedule_.clear();
    for (int row = 1; row <= grid_.LastReminderRow(); ++row) {
        const QDate date = ParseDateText(grid_.Cell(row, ReminderGrid::kDate));
        const bool spoken = grid_.Spoken(row);
        if (!date.isValid() || date > today) continue;
        if (date < today) {
            schedule_.append({0, spoken, row, true});
        } else if (const int minute = MinuteOfDay(grid_.Cell(row, ReminderGrid::kTime)); minute >= 0) {
            schedule_.append({minute, spoken, row, false});
        }
    }
    scheduleDate_ = today;
}

void ReminderScheduler::CheckDue() {
    const QTime time = clock_().time();
    // A check that came late (the machine slept) realigns on the next minute.
    if (time.second() > 2) Timer.setInterval(kAligningMs);
    const int now = time.hour() * 60 + time.minute();
    const bool lateAllowed = !lateSuppressed_ && !(IgnoreLate && IgnoreLate());
    for (int k = 0; k < schedule_.size(); ++k) {
        Entry& entry = schedule_[k];
        if (entry.done) continue;
        const bool due = entry.minute == now || (lateAllowed && (entry.late || entry.minute < now));
        // One reminder per check: the next one follows when this one ends.
        if (due && Speak(entry, now)) return;
    }
    series_ = false;
    lateAnnounced_ = false;
}

bool ReminderScheduler::Speak(Entry& entry, int now) {
    if (EnsureEngine && !EnsureEngine()) return false;
    const bool overdue = entry.late || entry.minute < now;
    QString text = grid_.Cell(entry.row, entry.late ? ReminderGrid::kDate : ReminderGrid::kTime) +
                   QStringLiteral(" \\P300 ") + grid_.Cell(entry.row, ReminderGrid::kMessage);
    if (overdue && !lateAnnounced_) text.prepend(kLatePrefix);
    lateAnnounced_ = entry.minute < now;
    series_ = true;
    failed_ = false;
    if (Start(text) != FV_OK || failed_) return false;
    if (SpeechStarted) SpeechStarted();
    MarkSpoken(entry);
    return true;
}

int ReminderScheduler::Start(const QString& text) {
    int code = PlayText(text);
    if (!failed_ && code == FV_BUSY && BusyRetry && BusyRetry()) {
        StopText();
        code = PlayText(text);
    }
    return code;
}

void ReminderScheduler::MarkSpoken(Entry& entry) {
    entry.done = true;
    const int row = entry.row;
    currentReminder_ = grid_.IdOf(row);
    currentCopy_ = 0;
    const QString next = NextOccurrence(grid_.Cell(row, ReminderGrid::kRepeat), clock_().date());
    if (!next.isEmpty()) {
        const int copy = grid_.RowCount() - 1;  // the empty last row
        for (int column = 0; column < ReminderGrid::kColumns; ++column)
            grid_.SetCell(copy, column, grid_.Cell(row, column));
        grid_.SetCell(copy, ReminderGrid::kSpoken, QString());
        grid_.SetCell(copy, ReminderGrid::kDate, next);
        currentCopy_ = grid_.IdOf(copy);
        grid_.AddEmptyLastRow();
        grid_.Sort();
    }
    grid_.SetCell(grid_.RowOf(currentReminder_), ReminderGrid::kSpoken, QStringLiteral("X"));
    BuildSchedule();
    if (GridChanged) GridChanged();
}

void ReminderScheduler::SpeechEnded(int code) {
    if (currentReminder_ && code != FV_OK) {
        // Not spoken after all: a later check tries it again, and its next
        // occurrence comes back when it is spoken.
        if (const int row = grid_.RowOf(currentReminder_))
            grid_.SetCell(row, ReminderGrid::kSpoken, QString());
        if (const int copy = grid_.RowOf(currentCopy_)) grid_.DeleteRow(copy);
        BuildSchedule();
        if (GridChanged) GridChanged();
    }
    currentReminder_ = 0;
    currentCopy_ = 0;
    if (series_ && code == FV_OK) CheckDue();
    // A failure ends the series: the next minute's check starts another.
    if (code != FV_OK) series_ = false;
    failed_ = code != FV_OK;
}

void ReminderScheduler::SpeechCancelled() {
    if (!lateAnnounced_) return;
    lateAnnounced_ = false;
    lateSuppressed_ = true;
}
