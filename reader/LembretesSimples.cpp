#include "LembretesSimples.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "Falavoz.h"
#include "Help.h"
#include "Lembrete.h"
#include "main.h"

namespace {

QToolButton* NewPlayerButton(const char* name, QStyle::StandardPixmap icon, const QString& caption,
                             const QString& description) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setIcon(button->style()->standardIcon(icon));
    button->setText(caption);
    button->setToolTip(description);
    button->setAccessibleName(caption);
    button->setAccessibleDescription(description);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QLabel* NewValueLabel(const char* name, const QString& spokenName) {
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(spokenName);
    label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TfrmLembretesSimples::TfrmLembretesSimples(TfrmLembretes& list, TfrmMain& main, QWidget* parent)
    : QDialog(parent), list_(list), main_(main) {
    setObjectName(QStringLiteral("frmLembretesSimples"));
    setWindowTitle(QStringLiteral("Próximos Lembretes"));
    setWindowFlags(Qt::Dialog | Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetHelpContext(this, 20);
    InstallHelpKey(this);
    CentreWhenShown(this);

    auto* title = new QLabel(QStringLiteral("Lembretes"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    title->setFont(big);
    lbHoje = NewValueLabel("lbHoje", QStringLiteral("Data de hoje"));
    lbRelogio = NewValueLabel("lbRelogio", QStringLiteral("Relógio"));
    lbData = NewValueLabel("lbData", QStringLiteral("Data do lembrete"));
    lbHora = NewValueLabel("lbHora", QStringLiteral("Hora do lembrete"));
    lbRepeticao = NewValueLabel("lbRepeticao", QStringLiteral("Repetição"));
    Mensagem = new QPlainTextEdit;
    Mensagem->setObjectName(QStringLiteral("Mensagem"));
    Mensagem->setReadOnly(true);  // read with the keyboard, never typed into
    Mensagem->setTabChangesFocus(true);
    Mensagem->setAccessibleName(QStringLiteral("Mensagem do lembrete"));
    Mensagem->setFrameShape(QFrame::Box);

    btnPlay = NewPlayerButton("btnPlay", QStyle::SP_MediaPlay, QStringLiteral("Falar"),
                              QStringLiteral("Fala este lembrete e os seguintes"));
    btnStop = NewPlayerButton("btnStop", QStyle::SP_MediaStop, QStringLiteral("Parar"),
                              QStringLiteral("Para a fala"));
    btnPrevious = NewPlayerButton("btnPrevious", QStyle::SP_MediaSkipBackward, QStringLiteral("Anterior"),
                                  QStringLiteral("Mostra o lembrete anterior"));
    btnNext = NewPlayerButton("btnNext", QStyle::SP_MediaSkipForward, QStringLiteral("Próximo"),
                              QStringLiteral("Mostra o próximo lembrete"));
    btnRecord = NewPlayerButton("btnRecord", QStyle::SP_FileDialogNewFolder, QStringLiteral("Novo"),
                                QStringLiteral("Cria um novo lembrete"));
    btnFechar = new QPushButton(QStringLiteral("Fechar"));
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    connect(btnPlay, &QToolButton::clicked, this, &TfrmLembretesSimples::Play);
    connect(btnStop, &QToolButton::clicked, this, &TfrmLembretesSimples::Stop);
    connect(btnNext, &QToolButton::clicked, this, &TfrmLembretesSimples::Next);
    connect(btnPrevious, &QToolButton::clicked, this, &TfrmLembretesSimples::Previous);
    connect(btnRecord, &QToolButton::clicked, this, &TfrmLembretesSimples::Record);
    connect(btnFechar, &QPushButton::clicked, this, &TfrmLembretesSimples::reject);

    auto* details = new QGridLayout;
    details->addWidget(new QLabel(QStringLiteral("Data:")), 0, 0);
    details->addWidget(lbData, 0, 1);
    details->addWidget(new QLabel(QStringLiteral("Hora:")), 1, 0);
    details->addWidget(lbHora, 1, 1);
    details->addWidget(new QLabel(QStringLiteral("Repetição:")), 2, 0);
    details->addWidget(lbRepeticao, 2, 1);
    auto* heading = new QHBoxLayout;
    heading->addWidget(title);
    heading->addStretch();
    heading->addWidget(lbHoje);
    heading->addWidget(lbRelogio);
    auto* player = new QHBoxLayout;
    for (QToolButton* button : {btnPlay, btnStop, btnPrevious, btnNext, btnRecord}) player->addWidget(button);
    player->addStretch();
    player->addWidget(btnFechar);
    auto* column = new QVBoxLayout(this);
    column->addLayout(heading);
    column->addLayout(details);
    column->addWidget(Mensagem);
    column->addLayout(player);
    resize(460, 300);

    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this,
            [this] { lbRelogio->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
    clock_.start();
    connect(&list_, &TfrmLembretes::gridChanged, this, &TfrmLembretesSimples::Refresh);
    connect(&main_, &TfrmMain::speechEnded, this, &TfrmLembretesSimples::ReadThroughStep);
    // A speech the user cancelled ends the reading through.
    connect(&main_, &TfrmMain::speechCancelled, this, [this] { readingThrough_ = false; });
    ShowToday();
    list_.Grid.currentRow = 1;
    Refresh();
}

void TfrmLembretesSimples::ShowToday() {
    lbHoje->setText(QStringLiteral("Hoje: ") + DateText(QDate::currentDate()));
    lbRelogio->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void TfrmLembretesSimples::ShowModally() { exec(); }

void TfrmLembretesSimples::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowToday();
    list_.Grid.currentRow = 1;
    Refresh();
    btnPlay->setFocus();
}

void TfrmLembretesSimples::Colour(const QColor& background, const QColor& text, const QString& state) {
    QPalette palette = Mensagem->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    Mensagem->setPalette(palette);
    // The colour's meaning, for those who do not see it.
    Mensagem->setAccessibleDescription(state);
}

void TfrmLembretesSimples::Refresh() {
    const ReminderGrid& grid = list_.Grid;
    const int row = grid.currentRow;
    if (!grid.HoldsReminder(row)) {
        for (QLabel* label : {lbData, lbHora, lbRepeticao}) label->clear();
        Mensagem->setPlainText(kEndOfList);
        Colour(Qt::white, Qt::black, QString());
        return;
    }
    lbData->setText(grid.Cell(row, ReminderGrid::kDate));
    lbHora->setText(grid.Cell(row, ReminderGrid::kTime));
    const QString repeat = grid.Cell(row, ReminderGrid::kRepeat);
    lbRepeticao->setText(repeat == Repeat::kNever ? QStringLiteral("Não repete") : repeat);
    Mensagem->setPlainText(grid.Cell(row, ReminderGrid::kMessage));
    const QDate date = ParseDateText(grid.Cell(row, ReminderGrid::kDate));
    const int minute = MinuteOfDay(grid.Cell(row, ReminderGrid::kTime));
    const QDateTime when(date, minute >= 0 ? QTime(minute / 60, minute % 60) : QTime(0, 0));
    if (grid.Spoken(row))
        Colour(QColor(0x80, 0, 0), Qt::white, QStringLiteral("Já falado"));
    else if (date.isValid() && when < QDateTime::currentDateTime())
        Colour(QColor(0xC0, 0, 0), Qt::white, QStringLiteral("Atrasado: a hora já passou"));
    else
        Colour(Qt::white, Qt::black, QString());
}

void TfrmLembretesSimples::SpeakMessage(const QString& suffix, const QString& retrySuffix) {
    const QString message = list_.Grid.Cell(list_.Grid.currentRow, ReminderGrid::kMessage);
    bool firstTry = true;
    const int code = main_.StartWithRetry([&] {
        const QString text = message + (firstTry ? suffix : retrySuffix);
        firstTry = false;
        return main_.Engine().PlayText(text);
    });
    if (code == 0) return;
    readingThrough_ = false;
    // An error the engine already reported as the end of the speech was shown.
    if (!main_.LastStartEndedItself()) main_.Report(code);
}

void TfrmLembretesSimples::Play() {
    if (!list_.Grid.HoldsReminder(list_.Grid.currentRow) || !main_.EnsureEngine()) return;
    readingThrough_ = true;
    SpeakMessage(kPause, kPause);
}

void TfrmLembretesSimples::Stop() {
    readingThrough_ = false;
    // Ended like a cancel from the menu, so the menu and the icon follow.
    main_.CancelSpeech();
}

void TfrmLembretesSimples::Next() {
    if (list_.Grid.currentRow >= list_.Grid.LastReminderRow()) return;
    ++list_.Grid.currentRow;
    Refresh();
}

void TfrmLembretesSimples::Previous() {
    if (list_.Grid.currentRow <= 1) return;
    --list_.Grid.currentRow;
    Refresh();
}

void TfrmLembretesSimples::Record() {
    list_.NewReminder();
    list_.Grid.currentRow = 1;
    Refresh();
}

void TfrmLembretesSimples::ReadThroughStep(int code) {
    if (!readingThrough_) return;
    if (code != 0) {  // an error ends the reading through
        readingThrough_ = false;
        return;
    }
    if (list_.Grid.currentRow < list_.Grid.LastReminderRow()) {
        ++list_.Grid.currentRow;
        Refresh();
        SpeakMessage(QString(), kPause);
    } else {
        list_.Grid.currentRow = 1;
        Refresh();
        readingThrough_ = false;
    }
}

void TfrmLembretesSimples::reject() {
    list_.Grid.currentRow = 1;
    QDialog::reject();
}
