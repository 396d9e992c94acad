#include "Texto.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Widgets.h"

TfrmTexto::TfrmTexto(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTexto"));
    setWindowTitle(QStringLiteral("Digite o texto a ser pronunciado"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    CentreWhenShown(this);

    Memo = new QPlainTextEdit;
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setTabChangesFocus(true);
    Memo->setAccessibleName(QStringLiteral("Texto a ser pronunciado"));
    Memo->setAccessibleDescription(QStringLiteral("Digite o texto e tecle Enter para ouvi-lo"));
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

    PressOnEnter(Memo, btnFalar);  // Enter speaks instead of starting a new line
    connect(btnFalar, &QPushButton::clicked, this, [this] { emit speakRequested(Memo->toPlainText()); });
    connect(btnFechar, &QPushButton::clicked, this, &TfrmTexto::hide);
}

void TfrmTexto::ShowWithTextSelected() {
    ShowInFront(this);
    Memo->selectAll();
    Memo->setFocus();
}
