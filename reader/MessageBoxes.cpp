#include "MessageBoxes.h"

#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

int ExecInFront(QMessageBox& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    return box.exec();
}

}  // namespace

bool AskYesNo(const QString& caption, const QString& question, QMessageBox::Icon icon, QWidget* parent) {
    QMessageBox box(icon, caption, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
    return ExecInFront(box) == QMessageBox::Yes;
}

void ShowMessageBox(const QString& caption, const QString& text, QMessageBox::Icon icon, QWidget* parent) {
    std::fprintf(stderr, "Leitor: %s: %s\n", qPrintable(caption), qPrintable(text));
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    ExecInFront(box);
}

QPushButton* NewButton(const char* name, const QString& caption, const QString& description) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setAccessibleDescription(description);
    return button;
}
