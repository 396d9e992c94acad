// The type-a-text dialog: a text to speak, kept between uses.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TfrmTexto : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTexto(QWidget* parent = nullptr);
    // Shows the dialog with its whole text selected and the focus on it.
    void ShowWithTextSelected();

    QPlainTextEdit* Memo;
    QPushButton* btnFalar;
    QPushButton* btnFechar;

signals:
    void speakRequested(const QString& text);
};
