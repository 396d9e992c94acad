// What the reader's windows share: message boxes in front of every window
// and with the keyboard focus, so that a screen reader reads them at once
// though the user works in another program (Yes and No in Portuguese, with No
// the default answer); named buttons; memos where Enter presses a button.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// What a window asks and tells through; a test puts its own in their place.
using AskHook = std::function<bool(const QString& caption, const QString& question)>;
using TellHook = std::function<void(const QString& caption, const QString& text)>;

bool AskYesNo(const QString& caption, const QString& question, QMessageBox::Icon icon = QMessageBox::Question,
              QWidget* parent = nullptr);
// The text goes to standard error too, for a reader started from a terminal.
void ShowMessageBox(const QString& caption, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::Critical, QWidget* parent = nullptr);

// A push button named as the settings and the tests know it, that is not
// pressed by Enter unless made the default.
QPushButton* NewButton(const char* name, const QString& caption, const QString& description);

// Enter in the memo presses the button instead of starting a new line.
void PressOnEnter(QPlainTextEdit* memo, QPushButton* button);
// Puts the window in the middle of its screen each time it is shown.
void CentreWhenShown(QWidget* window);
// Shows the window in front of the others, with the keyboard focus.
void ShowInFront(QWidget* window);
