// The reminders window: the reminder grid, which is also the store behind
// "Lembret.dat", with the buttons that add, edit and delete reminders, and
// the scheduler that speaks them.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "ReminderGrid.h"
#include "ReminderScheduler.h"
#include "Widgets.h"

class QPushButton;
class QTableView;
class ReminderTableModel;
class TfrmMain;
class TfrmNovoLembrete;

class TfrmLembretes : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLembretes(const QString& filePath, ReminderScheduler::Clock clock = {},
                           QWidget* parent = nullptr);
    ~TfrmLembretes() override;

    // Reads the file and builds today's schedule.
    void Load();
    // Gives the scheduler the reader's engine, options and menu, and starts
    // the minute timer when reminders are enabled.
    void Attach(TfrmMain& main);
    // After any change of the grid: sort, schedule, save, show.
    void GridEdited();

    void NewReminder();
    void EditReminder();
    void DeleteReminder();
    void DeleteSpokenReminders();
    // The dialog that NewReminder and EditReminder open; made at first use.
    TfrmNovoLembrete& Dialog();

    // A message for the user; a box unless a test says otherwise.
    TellHook Tell;

    ReminderGrid Grid;
    ReminderScheduler Scheduler;
    QTableView* Grade;
    QPushButton* btnNovo;
    QPushButton* btnEditar;
    QPushButton* btnApagar;
    QPushButton* btnApagarExecutados;
    QPushButton* btnFechar;

signals:
    // The grid changed; the windows that show it refresh.
    void gridChanged();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void Save();
    // Saves the grid and shows it in every window.
    void Publish();
    void ShowGrid();
    void CurrentCellChanged();
    // Opens the dialog prepared; sorts, schedules and saves after OK.
    void OpenDialog();

    QString filePath_;
    bool canSave_ = true;
    ReminderTableModel* model_;
    std::unique_ptr<TfrmNovoLembrete> dialog_;
};
