// The new/edit reminder dialog: date, time, repetition and message, written
// into the reminder grid on OK.
#pragma once

#include <QDialog>
#include "Widgets.h"

class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class ReminderGrid;

class TfrmNovoLembrete : public QDialog {
    Q_OBJECT
public:
    enum Mode { kNew = 0, kEdit = 1 };
    static inline const QString kInvalidTime = QStringLiteral("Hora Inválida                ");

    explicit TfrmNovoLembrete(ReminderGrid& grid, QWidget* parent = nullptr);

    // A new reminder for today at 00:00, not repeating, without a message.
    void PrepareNew(const QDate& today);
    // The grid's current row; false when it holds no reminder.
    bool PrepareEdit();
    // The dialog's OK: false when it stays open (a wrong time, or a
    // replacement the user refused).
    bool Store();
    // The time field as "HH:MM", or empty when it holds no time of day.
    QString TimeText() const;

    // A Yes/No question and a message; boxes unless a test says otherwise.
    AskHook Ask;
    TellHook Tell;

    int Tag = kNew;
    QDateEdit* Data;
    QLineEdit* Hora;
    QRadioButton* rbSemRepeticao;
    QRadioButton* rbDiaria;
    QRadioButton* rbMensal;
    QRadioButton* rbAnual;
    QPlainTextEdit* Mensagem;
    QPushButton* btnOk;
    QPushButton* btnAjuda;
    QPushButton* btnCancelar;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Says so and puts the focus back when the time is wrong.
    bool CheckTime();
    QString ChosenRepeat() const;
    QString OneLineMessage() const;
    // The row the reminder goes to; 0 when the user keeps the other one.
    int TargetRow();

    ReminderGrid& grid_;
};
