#include "Widgets.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

class EnterPresses : public QObject {
public:
    EnterPresses(QPlainTextEdit* memo, QPushButton* button) : QObject(memo), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button_->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
};

class CentreOnShow : public QObject {
public:
    explicit CentreOnShow(QWidget* window) : QObject(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show)
            if (const QScreen* screen = window->screen())
                window->move(screen->availableGeometry().center() - window->rect().center());
        return QObject::eventFilter(watched, event);
    }
};

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

void PressOnEnter(QPlainTextEdit* memo, QPushButton* button) {
    memo->installEventFilter(new EnterPresses(memo, button));
}

void CentreWhenShown(QWidget* window) { window->installEventFilter(new CentreOnShow(window)); }

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}
