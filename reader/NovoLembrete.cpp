#include "NovoLembrete.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Help.h"
#include "ReminderGrid.h"

TfrmNovoLembrete::TfrmNovoLembrete(ReminderGrid& grid, QWidget* parent)
    : QDialog(parent),
      Ask([](const QString& caption, const QString& question) {
          return AskYesNo(caption, question, QMessageBox::Warning);
      }),
      Tell([](const QString& caption, const QString& text) {
          ShowMessageBox(caption, text, QMessageBox::Warning);
      }),
      grid_(grid) {
    setObjectName(QStringLiteral("frmNovoLembrete"));
    setWindowTitle(QStringLiteral("Novo Lembrete"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetHelpContext(this, 17);
    InstallHelpKey(this);
    CentreWhenShown(this);

    Data = new QDateEdit;
    Data->setObjectName(QStringLiteral("Data"));
    Data->setCalendarPopup(true);
    Data->setDisplayFormat(ReminderDateFormat());
    Data->setAccessibleName(QStringLiteral("Data do lembrete"));
    Hora = new QLineEdit;
    Hora->setObjectName(QStringLiteral("Hora"));
    Hora->setInputMask(QStringLiteral("09:99;_"));
    Hora->setAccessibleName(QStringLiteral("Hora do lembrete"));
    Hora->setAccessibleDescription(QStringLiteral("Horas e minutos, de 00:00 a 23:59"));
    Hora->installEventFilter(this);

    rbSemRepeticao = new QRadioButton(QStringLiteral("&Sem repetição"));
    rbDiaria = new QRadioButton(QStringLiteral("Repetição todos os &dias"));
    rbMensal = new QRadioButton(QStringLiteral("Repetição todos os m&eses"));
    rbAnual = new QRadioButton(QStringLiteral("Repetição todos os &anos"));
    auto* repetition = new QGroupBox(QStringLiteral("Repetição"));
    auto* repetitionColumn = new QVBoxLayout(repetition);
    auto* repetitionGroup = new QButtonGroup(this);
    for (QRadioButton* choice : {rbSemRepeticao, rbDiaria, rbMensal, rbAnual}) {
        repetitionColumn->addWidget(choice);
        repetitionGroup->addButton(choice);
    }

    Mensagem = new QPlainTextEdit;
    Mensagem->setObjectName(QStringLiteral("Mensagem"));
    Mensagem->setTabChangesFocus(true);
    Mensagem->setAccessibleName(QStringLiteral("Mensagem"));
    Mensagem->setAccessibleDescription(QStringLiteral("O texto que o Falavoz falará na hora marcada"));

    btnOk = new QPushButton(QStringLiteral("OK"));
    btnOk->setDefault(true);
    btnAjuda = new QPushButton(QStringLiteral("Ajuda"));
    btnAjuda->setAutoDefault(false);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"));
    btnCancelar->setAutoDefault(false);
    PressOnEnter(Mensagem, btnOk);  // Enter is OK, not a new line
    connect(btnOk, &QPushButton::clicked, this, &TfrmNovoLembrete::accept);
    connect(btnAjuda, &QPushButton::clicked, this, [this] { OpenHelp(17, this); });
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmNovoLembrete::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Data:"), Data);
    fields->addRow(QStringLiteral("&Hora:"), Hora);
    auto* messageLabel = new QLabel(QStringLiteral("&Mensagem"));
    messageLabel->setBuddy(Mensagem);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {btnOk, btnAjuda, btnCancelar}) buttons->addWidget(button);
    auto* column = new QVBoxLayout(this);
    column->addLayout(fields);
    column->addWidget(repetition);
    column->addWidget(messageLabel);
    column->addWidget(Mensagem);
    column->addLayout(buttons);
    resize(420, 360);
}

void TfrmNovoLembrete::PrepareNew(const QDate& today) {
    Tag = kNew;
    Data->setDate(today);
    Hora->setText(QStringLiteral("00:00"));
    rbSemRepeticao->setChecked(true);
    Mensagem->clear();
}

bool TfrmNovoLembrete::PrepareEdit() {
    const int row = grid_.currentRow;
    if (!grid_.HoldsReminder(row)) return false;
    Tag = kEdit;
    const QDate date = ParseDateText(grid_.Cell(row, ReminderGrid::kDate));
    Data->setDate(date.isValid() ? date : QDate::currentDate());
    Hora->setText(grid_.Cell(row, ReminderGrid::kTime));
    const QString repeat = grid_.Cell(row, ReminderGrid::kRepeat);
    QRadioButton* chosen = repeat == Repeat::kDaily     ? rbDiaria
                           : repeat == Repeat::kMonthly ? rbMensal
                           : repeat == Repeat::kYearly  ? rbAnual
                                                        : rbSemRepeticao;
    chosen->setChecked(true);
    Mensagem->setPlainText(grid_.Cell(row, ReminderGrid::kMessage));
    return true;
}

QString TfrmNovoLembrete::TimeText() const {
    const QStringList parts = Hora->text().split(QLatin1Char(':'));
    bool hoursRead = false, minutesRead = false;
    const int hours = parts.value(0).trimmed().toInt(&hoursRead);
    const int minutes = parts.value(1).trimmed().toInt(&minutesRead);
    // Hour 24 would never come round: a day ends at 23:59.
    if (!hoursRead || !minutesRead || parts.value(1).trimmed().size() != 2 || hours < 0 || hours > 23 ||
        minutes < 0 || minutes > 59)
        return {};
    return QStringLiteral("%1:%2").arg(hours, 2, 10, QLatin1Char('0')).arg(minutes, 2, 10, QLatin1Char('0'));
}

bool TfrmNovoLembrete::CheckTime() {
    if (!TimeText().isEmpty()) return true;
    Tell(QStringLiteral("Falavoz"), kInvalidTime);
    Hora->setFocus();
    Hora->selectAll();
    return false;
}

QString TfrmNovoLembrete::ChosenRepeat() const {
    if (rbDiaria->isChecked()) return Repeat::kDaily;
    if (rbMensal->isChecked()) return Repeat::kMonthly;
    if (rbAnual->isChecked()) return Repeat::kYearly;
    return Repeat::kNever;
}

QString TfrmNovoLembrete::OneLineMessage() const {
    const QStringList lines = Mensagem->toPlainText().split(QLatin1Char('\n'));
    if (lines.size() < 2) return lines.value(0);
    QString joined;
    for (const QString& line : lines) joined += QLatin1Char(' ') + line;
    return joined;
}

int TfrmNovoLembrete::TargetRow() {
    if (Tag == kEdit) return grid_.currentRow;
    const QString when = DateText(Data->date()) + TimeText();
    for (int row = 1; row <= grid_.LastReminderRow(); ++row) {
        if (grid_.Cell(row, ReminderGrid::kDate) + grid_.Cell(row, ReminderGrid::kTime) != when) continue;
        const bool replace =
            Ask(QStringLiteral("Importante"),
                QStringLiteral("Já existe outro Lembrete marcado para a mesma data e hora.\r\n"
                               "Deseja substitui-lo?"));
        return replace ? row : 0;
    }
    return grid_.RowCount() - 1;
}

bool TfrmNovoLembrete::Store() {
    if (!CheckTime()) return false;
    const int row = TargetRow();
    if (row == 0) return false;
    const bool intoEmptyRow = !grid_.HoldsReminder(row) && row == grid_.RowCount() - 1;
    grid_.SetCell(row, ReminderGrid::kDate, DateText(Data->date()));
    grid_.SetCell(row, ReminderGrid::kTime, TimeText());
    grid_.SetCell(row, ReminderGrid::kRepeat, ChosenRepeat());
    grid_.SetCell(row, ReminderGrid::kMessage, OneLineMessage());
    grid_.SetCell(row, ReminderGrid::kSpoken, QString());
    if (intoEmptyRow) grid_.AddEmptyLastRow();
    return true;
}

void TfrmNovoLembrete::accept() {
    if (Store()) QDialog::accept();
}

void TfrmNovoLembrete::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setWindowTitle(Tag == kEdit ? QStringLiteral("Editar Lembrete") : QStringLiteral("Novo Lembrete"));
    Hora->setFocus();
    Hora->selectAll();
}

bool TfrmNovoLembrete::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the time field checks it, unless the dialog is being left.
    if (watched == Hora && event->type() == QEvent::FocusOut && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            QWidget* focused = focusWidget();
            // OK checks the time itself; Cancelar needs no valid time.
            if (isVisible() && focused != btnOk && focused != btnCancelar && focused != Hora) CheckTime();
        });
    }
    return QDialog::eventFilter(watched, event);
}
