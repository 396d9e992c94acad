#include "Lembrete.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Falavoz.h"
#include "Help.h"
#include "NovoLembrete.h"
#include "main.h"
#include "opcoes.h"

// The grid as the table shows it: its rows below the header, the message
// editable in place.
class ReminderTableModel : public QAbstractTableModel {
public:
    explicit ReminderTableModel(ReminderGrid& grid, QObject* parent)
        : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_.RowCount() - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ReminderGrid::kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row() + 1;
        const QString text = grid_.Cell(row, index.column());
        if (role == Qt::DisplayRole || role == Qt::EditRole) return text;
        // A screen reader says what the mark means.
        if (role == Qt::AccessibleTextRole && index.column() == ReminderGrid::kSpoken)
            return grid_.Spoken(row) ? QStringLiteral("já falado") : QStringLiteral("não falado");
        return {};
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
        grid_.SetCell(index.row() + 1, index.column(), value.toString().simplified());
        emit dataChanged(index, index);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.column() == ReminderGrid::kMessage && grid_.HoldsReminder(index.row() + 1))
            flags |= Qt::ItemIsEditable;
        return flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kHeaders[] = {"", "Data", "Hora", "Repetir", "Mensagem"};
        if (orientation != Qt::Horizontal || section < 0 || section >= ReminderGrid::kColumns) return {};
        if (role == Qt::DisplayRole) return QString::fromUtf8(kHeaders[section]);
        if (role == Qt::AccessibleTextRole && section == ReminderGrid::kSpoken)
            return QStringLiteral("Falado");
        return {};
    }

    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    ReminderGrid& grid_;
};

namespace {

QPushButton* NewHelpedButton(const char* name, const QString& caption, const QString& description, int help) {
    QPushButton* button = NewButton(name, caption, description);
    SetHelpContext(button, help);
    return button;
}

void TellUser(const QString& caption, const QString& text) {
    ShowMessageBox(caption, text, QMessageBox::Warning);
}

}  // namespace

TfrmLembretes::TfrmLembretes(const QString& filePath, ReminderScheduler::Clock clock, QWidget* parent)
    : QDialog(parent), Tell(TellUser), Scheduler(Grid, std::move(clock)), filePath_(filePath) {
    setObjectName(QStringLiteral("frmLembretes"));
    setWindowTitle(QStringLiteral("Lembretes"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetHelpContext(this, 21);
    InstallHelpKey(this);
    CentreWhenShown(this);

    model_ = new ReminderTableModel(Grid, this);
    Grade = new QTableView;
    Grade->setObjectName(QStringLiteral("Grade"));
    Grade->setModel(model_);
    Grade->setAccessibleName(QStringLiteral("Lembretes"));
    Grade->setAccessibleDescription(QStringLiteral(
        "Uma linha por lembrete: falado, data, hora, repetição e mensagem. F2 edita a mensagem."));
    Grade->setSelectionMode(QAbstractItemView::SingleSelection);
    Grade->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    Grade->setTabKeyNavigation(false);
    Grade->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grade->verticalHeader()->hide();
    Grade->setShowGrid(true);
    const QFontMetrics metrics = Grade->fontMetrics();
    const int pad = 12;
    Grade->setColumnWidth(ReminderGrid::kSpoken, metrics.horizontalAdvance(QStringLiteral("XX")) + pad);
    Grade->setColumnWidth(ReminderGrid::kDate,
                          metrics.horizontalAdvance(DateText(QDate(2000, 12, 28))) + pad);
    Grade->setColumnWidth(ReminderGrid::kTime, metrics.horizontalAdvance(QStringLiteral("00:00")) + pad);
    Grade->setColumnWidth(ReminderGrid::kRepeat, metrics.horizontalAdvance(QStringLiteral("Todo Mês")) + pad);
    Grade->horizontalHeader()->setStretchLastSection(true);
    Grade->setMinimumWidth(560);

    btnNovo = NewHelpedButton("btnNovo", QStringLiteral("&Novo Lembrete..."),
                              QStringLiteral("Cria um lembrete com data, hora e mensagem"), 17);
    btnEditar = NewHelpedButton("btnEditar", QStringLiteral("&Editar Lembrete..."),
                                QStringLiteral("Muda o lembrete selecionado"), 18);
    btnApagar = NewHelpedButton("btnApagar", QStringLiteral("&Apagar Lembrete"),
                                QStringLiteral("Apaga o lembrete selecionado, sem perguntar"), 19);
    btnApagarExecutados =
        NewHelpedButton("btnApagarExecutados", QStringLiteral("Apagar alarmes já e&xecutados"),
                        QStringLiteral("Apaga todos os lembretes que já foram falados"), 19);
    btnFechar =
        NewButton("btnFechar", QStringLiteral("Fechar"), QStringLiteral("Fecha a lista de lembretes"));
    connect(btnNovo, &QPushButton::clicked, this, &TfrmLembretes::NewReminder);
    connect(btnEditar, &QPushButton::clicked, this, &TfrmLembretes::EditReminder);
    connect(btnApagar, &QPushButton::clicked, this, &TfrmLembretes::DeleteReminder);
    connect(btnApagarExecutados, &QPushButton::clicked, this, &TfrmLembretes::DeleteSpokenReminders);
    connect(btnFechar, &QPushButton::clicked, this, &TfrmLembretes::hide);
    connect(Grade->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmLembretes::CurrentCellChanged);
    connect(Grade, &QTableView::doubleClicked, this,
            [this] { Grade->currentIndex().data().toString().isEmpty() ? NewReminder() : EditReminder(); });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] {
        Save();
        emit gridChanged();
    });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {btnNovo, btnEditar, btnApagar, btnApagarExecutados})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(btnFechar);
    auto* row = new QHBoxLayout(this);
    row->addWidget(Grade, 1);
    row->addLayout(buttons);
    resize(780, 320);

    Scheduler.GridChanged = [this] { Publish(); };
}

TfrmLembretes::~TfrmLembretes() = default;

void TfrmLembretes::Load() {
    const ReminderFileLoad loaded = LoadReminderFile(filePath_, Grid);
    canSave_ = loaded.canSave;
    if (!loaded.message.isEmpty()) Tell(QStringLiteral("Lembretes"), loaded.message);
    Grid.Sort();
    Scheduler.BuildSchedule();
    // What could be read goes back under the file's name at once.
    if (loaded.damaged) Save();
    ShowGrid();
}

void TfrmLembretes::Attach(TfrmMain& main) {
    TfrmOpcoes& options = main.Options();
    Scheduler.EnsureEngine = [&main] { return main.EnsureEngine(); };
    Scheduler.PlayText = [&main](const QString& text) { return main.Engine().PlayText(text); };
    Scheduler.StopText = [&main] { return main.Engine().StopText(); };
    Scheduler.BusyRetry = [&options] { return options.ckPrioridade->isChecked(); };
    Scheduler.IgnoreLate = [&options] { return options.IgnorarAtraso->isChecked(); };
    Scheduler.SpeechStarted = [&main] { main.ShowSpeaking(); };
    main.SpeakingReminderSeries = [this] { return Scheduler.SpeakingSeries(); };
    connect(&main, &TfrmMain::speechEnded, &Scheduler, &ReminderScheduler::SpeechEnded);
    connect(&main, &TfrmMain::speechCancelled, &Scheduler, &ReminderScheduler::SpeechCancelled);
    connect(&options, &TfrmOpcoes::remindersSwitched, &Scheduler, &ReminderScheduler::SetEnabled);
    Scheduler.SetEnabled(options.HabilitarLembretes->isChecked());
}

void TfrmLembretes::GridEdited() {
    Grid.Sort();
    Scheduler.BuildSchedule();
    Publish();
}

void TfrmLembretes::Publish() {
    Save();
    ShowGrid();
    emit gridChanged();
}

void TfrmLembretes::Save() {
    if (!canSave_) return;
    const QString problem = SaveReminderFile(filePath_, Grid);
    if (!problem.isEmpty()) Tell(QStringLiteral("Lembretes"), problem);
}

void TfrmLembretes::ShowGrid() {
    const int row = Grid.currentRow;
    model_->Reset();
    Grid.currentRow = std::clamp(row, 1, Grid.RowCount() - 1);
    Grade->setCurrentIndex(model_->index(Grid.currentRow - 1, ReminderGrid::kMessage));
}

void TfrmLembretes::CurrentCellChanged() {
    const QModelIndex current = Grade->currentIndex();
    if (current.isValid()) Grid.currentRow = current.row() + 1;
    // Enter edits a reminder and adds one below the last.
    const bool holdsText = !current.data().toString().isEmpty();
    btnEditar->setDefault(holdsText);
    btnNovo->setDefault(!holdsText);
}

TfrmNovoLembrete& TfrmLembretes::Dialog() {
    if (!dialog_) dialog_ = std::make_unique<TfrmNovoLembrete>(Grid, this);
    return *dialog_;
}

void TfrmLembretes::OpenDialog() {
    if (Dialog().exec() == QDialog::Accepted) GridEdited();
}

void TfrmLembretes::NewReminder() {
    Dialog().PrepareNew(QDate::currentDate());
    OpenDialog();
}

void TfrmLembretes::EditReminder() {
    if (Dialog().PrepareEdit()) OpenDialog();
}

void TfrmLembretes::DeleteReminder() {
    if (!Grid.HoldsReminder(Grid.currentRow)) return;
    Grid.DeleteRow(Grid.currentRow);
    GridEdited();
}

void TfrmLembretes::DeleteSpokenReminders() {
    for (int row = Grid.LastReminderRow(); row >= 1; --row)
        if (Grid.Spoken(row)) Grid.DeleteRow(row);
    GridEdited();
}

void TfrmLembretes::hideEvent(QHideEvent* event) {
    Save();
    QDialog::hideEvent(event);
}
