// The next-reminders window: one reminder at a time, with player buttons to
// hear it, step through the list, read them all one after another, or add
// a new one.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TfrmLembretes;
class TfrmMain;

class TfrmLembretesSimples : public QDialog {
    Q_OBJECT
public:
    static inline const QString kEndOfList = QStringLiteral("Fim dos Lembretes");
    static inline const QString kPause = QStringLiteral(" \\P800 ");

    TfrmLembretesSimples(TfrmLembretes& list, TfrmMain& main, QWidget* parent = nullptr);

    // From the tray menu: the first reminder, the window modal.
    void ShowModally();
    // Shows the grid's current row.
    void Refresh();
    void Play();
    void Stop();
    void Next();
    void Previous();
    void Record();
    bool ReadingThrough() const { return readingThrough_; }

    QLabel* lbHoje;
    QLabel* lbRelogio;
    QLabel* lbData;
    QLabel* lbHora;
    QLabel* lbRepeticao;
    QPlainTextEdit* Mensagem;
    QToolButton* btnPlay;
    QToolButton* btnStop;
    QToolButton* btnNext;
    QToolButton* btnPrevious;
    QToolButton* btnRecord;
    QPushButton* btnFechar;

public slots:
    void reject() override;  // Fechar and Esc

protected:
    void showEvent(QShowEvent* event) override;

private:
    // After each speech while reading through: the next reminder, or the end.
    void ReadThroughStep(int code);
    // Speaks the current row's message; the menu follows; errors are shown.
    void SpeakMessage(const QString& suffix, const QString& retrySuffix);
    void ShowToday();
    void Colour(const QColor& background, const QColor& text, const QString& state);

    TfrmLembretes& list_;
    TfrmMain& main_;
    QTimer clock_;
    bool readingThrough_ = false;
};
