#include "Texto.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTexto::TfrmTexto(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTexto"));
    setWindowTitle(QStringLiteral("Digite o texto a ser pronunciado"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Memo = new QPlainTextEdit;
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setTabChangesFocus(true);
    Memo->setAccessibleName(QStringLiteral("Texto a ser pronunciado"));
    Memo->setAccessibleDescription(QStringLiteral("Digite o texto e tecle Enter para ouvi-lo"));
    Memo->installEventFilter(this);
    auto* label = new QLabel(QStringLiteral("&Texto:"));
    label->setBuddy(Memo);

    btnFalar = new QPushButton(QStringLiteral("Falar"));
    btnFalar->setObjectName(QStringLiteral("btnFalar"));
    btnFalar->setDefault(true);
    btnFalar->setAccessibleDescription(QStringLiteral("Fala o texto digitado"));
    btnFechar = new QPushButton(QStringLiteral("Fechar"));
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setAccessibleDescription(QStringLiteral("Fecha a janela, guardando o texto"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnFalar);
    buttons->addWidget(btnFechar);
    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    column->addWidget(Memo);
    column->addLayout(buttons);
    resize(480, 200);

    connect(btnFalar, &QPushButton::clicked, this, [this] { emit speakRequested(Memo->toPlainText()); });
    connect(btnFechar, &QPushButton::clicked, this, &TfrmTexto::hide);
}

void TfrmTexto::ShowWithTextSelected() {
    show();
    raise();
    activateWindow();
    Memo->selectAll();
    Memo->setFocus();
}

// Enter in the memo speaks instead of starting a new line.
bool TfrmTexto::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnFalar->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
