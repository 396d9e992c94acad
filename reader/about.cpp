#include "about.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Widgets.h"

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Sobre o Leitor de Textos Falavoz"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    CentreWhenShown(this);

    Picture = new QLabel;
    Picture->setObjectName(QStringLiteral("Picture"));
    Picture->setPixmap(QIcon(QStringLiteral(":/icons/leitor.svg")).pixmap(96, 96));
    Picture->setAccessibleName(QStringLiteral("Logotipo do Falavoz"));
    Picture->installEventFilter(this);

    auto* text =
        new QLabel(QStringLiteral(
            "<h2>Leitor de Textos Falavoz</h2>"
            "<p>Versão " FALAVOZ_VERSION "</p>"
            "<p>Lê em voz alta, em português do Brasil, o texto selecionado em qualquer janela, "
            "a área de transferência e os textos digitados, e fala os seus lembretes.</p>"
            "<p>Voz br1 do projeto MBROLA, da Faculté Polytechnique de Mons, feita a partir da base de "
            "difones de Denis Costa e sintetizada pelo programa mbrola.</p>"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text->setFocusPolicy(Qt::StrongFocus);
    text->setAccessibleName(QStringLiteral("Sobre o Leitor de Textos Falavoz"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmAbout::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(Picture, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
    setMinimumWidth(420);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture && event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
