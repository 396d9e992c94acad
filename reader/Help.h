// The reader's help: one HTML page per help context, in the folder "ajuda"
// beside the program, else in the data folder. F1 opens the page of the
// control that has the focus, or of the nearest window around it that has one.
#pragma once

#include <QString>

class QWidget;

void SetHelpContext(QWidget* widget, int context);
// The context of the widget or of the nearest parent that has one; 0 if none.
int HelpContextOf(const QWidget* widget);
// The page of a context; the help's first page for an unknown context; empty
// when the help is not installed.
QString HelpPage(int context);
// Opens the page in the user's browser; a message box says why when it cannot.
void OpenHelp(int context, QWidget* parent);
// Makes F1 in the window open the help of the focused control.
void InstallHelpKey(QWidget* window);
