// Speaking the reminders at their date and time: today's schedule, the
// minute timer aligned on the full minute, the due-reminder check, late
// reminders and their warning, series of reminders spoken one after another,
// and the rescheduling of repeating ones.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

class ReminderGrid;

class ReminderScheduler : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kAligningMs = 500;
    static constexpr int kMinuteMs = 60000;
    static inline const QString kLatePrefix = QStringLiteral("Atenção. Mensagem em atraso. ");

    explicit ReminderScheduler(ReminderGrid& grid, Clock clock = {}, QObject* parent = nullptr);

    // What the scheduler asks of the reader.
    std::function<bool()> EnsureEngine;
    std::function<int(const QString& text)> PlayText;  // asynchronous speech
    std::function<int()> StopText;
    std::function<bool()> BusyRetry;   // a new speech may cancel the current one
    std::function<bool()> IgnoreLate;  // late reminders are not spoken
    std::function<void()> SpeechStarted;
    // The grid changed: save it and show it.
    std::function<void()> GridChanged;

    // Runs the minute timer or stops it ("Habilitar lembretes").
    void SetEnabled(bool enabled);
    void Tick();
    void BuildSchedule();
    void CheckDue();
    // The end of any speech, as the reader hears it: 0 or an error code.
    void SpeechEnded(int code);
    // The user cancelled the speech.
    void SpeechCancelled();
    // A series of reminders is being spoken: its errors are not shown.
    bool SpeakingSeries() const { return series_; }
    bool LateSuppressed() const { return lateSuppressed_; }

    struct Entry {
        int minute;  // of today's time; 0 for a late reminder
        bool done;
        int row;
        bool late;  // its date is before today
    };
    const QList<Entry>& Schedule() const { return schedule_; }
    QTimer Timer;

private:
    // Tries to speak the entry; true when its speech began.
    bool Speak(Entry& entry, int now);
    int Start(const QString& text);
    void MarkSpoken(Entry& entry);

    ReminderGrid& grid_;
    Clock clock_;
    QList<Entry> schedule_;
    QDate scheduleDate_;
    bool series_ = false;
    bool lateAnnounced_ = false;
    bool lateSuppressed_ = false;
    bool failed_ = false;
    int currentReminder_ = 0;  // the grid's id of the reminder being spoken
    int currentCopy_ = 0;      // and of its next occurrence, when it repeats
};
