#include "Dicionario.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "Encoding.h"
#include "Falavoz.h"
#include "Help.h"
#include "Settings.h"
#include "Widgets.h"
#include "main.h"

namespace {

constexpr int kHelpContext = 15;
constexpr int kFieldLength = 40;
constexpr QChar kTab = QLatin1Char('\t');
const QString kCaption = QStringLiteral("Falavoz");
const QString kTitle = QStringLiteral("Dicionário Fonético");
const QString kSaveQuestion = QStringLiteral("O Dicionário atual foi alterado. Deseja salvá-lo?");
const QString kFileFilter = QStringLiteral("Arquivos de Dicionário (*.dic);;Todos os Arquivos (*)");
// The phoneme symbols, the pause "_", the syllable mark "-", the stress mark
// "'" and the blank.
const QString kPhoneticCharacters = QStringLiteral("a@äeéëiïoóöuüywbdfghjklmnñprR%sStvxz_-' ");

// Each caption starts with its symbol; the accelerator is on the letters
// that carry the sound in the example.
const char* const kVowels[] = {"a  - (l&ado)",   "ä - (b&anco)",  "@  - (maç&ã)",  "e  - (cab&elo)",
                               "é - (b&elo)",    "ë - (ad&endo)", "ï - (br&inco)", "i  - (b&ico)",
                               "y  - (bale&ia)", "o  - (b&olo)",  "ó - (b&ola)",   "ö - (&onda)",
                               "u  - (b&uraco)", "ü - (m&undo)",  "w  - (a&ula)"};
const char* const kConsonants[] = {
    "b - (&braço)", "k - (&cada)",  "d - (&dado)",  "g - (&grande)",  "p - (&pai)",   "t - (&taco)",
    "f - (&faca)",  "v - (&vala)",  "j - (&jato)",  "s - (&sala)",    "S - (ca&sca)", "x - (&xarada)",
    "z - (a&sa)",   "m - (&mesmo)", "n - (&nunca)", "ñ - (gali&nha)", "l - (&lado)",  "h - (a&lho)",
    "r - (ca&ra)",  "% - (a&rpa)",  "R - (to&rre)"};

// The word of a line: the text before its first TAB, or the whole line.
QString WordPart(const QString& line) { return line.left(line.indexOf(kTab)); }

// The character at k, a whole surrogate pair when it is one.
QString CharacterAt(const QString& text, int k) {
    const bool pair = text[k].isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate();
    return text.mid(k, pair ? 2 : 1);
}

// The engine takes each file line as it stands and ends its dictionary at
// the first empty line or line beginning with "*"; so the characters that
// would break a line, or end the dictionary early, never go into a word, nor
// those its code page lacks, which it would never see in a text.
QString WordProblem(const QString& word) {
    for (QChar c : word)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("A palavra não pode conter tabulações nem quebras de linha");
    if (word.startsWith(QLatin1Char('*'))) return QStringLiteral("A palavra não pode começar com \"*\"");
    for (int k = 0; k < word.size(); ++k)
        if (TextForEngine(CharacterAt(word, k)).empty())
            return QStringLiteral("A palavra \"%1\" tem caracteres que o Falavoz não lê").arg(word);
    return {};
}

// The word as the engine reads it in a text: typographic quotes and dashes
// in their plain forms.
QString EngineWord(const QString& word) { return QString::fromStdString(Cp1252ToUtf8(TextForEngine(word))); }

// The first character of the transcription that is no phonetic symbol
// (a whole surrogate pair), or empty.
QString UnknownPhoneme(const QString& transcription) {
    for (int k = 0; k < transcription.size(); ++k)
        if (!kPhoneticCharacters.contains(transcription[k])) return CharacterAt(transcription, k);
    return {};
}

// The lines of a dictionary file. The engine writes Windows-1252; a file
// saved as UTF-8 by another editor reads just as well.
bool ReadDictionary(const QString& fileName, QStringList& lines, QString& problem) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("Não foi possível abrir o dicionário\n%1\n\n(%2)")
                      .arg(fileName, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        problem =
            QStringLiteral("Não foi possível ler o dicionário\n%1\n\n(%2)").arg(fileName, file.errorString());
        return false;
    }
    const QString text = QString::fromStdString(Cp1252ToUtf8(Utf8ToCp1252(bytes.toStdString())));
    lines.clear();
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (!line.isEmpty()) lines << line;  // an empty line would end the engine's reading
    }
    return true;
}

// The file as the engine searches it: it bisects on the lower-cased word in
// Windows-1252 byte order, so the lines go in that order (an accented word
// after "z"), whatever order the list shows them in. Lowering before the
// conversion changes the same letters the engine's lowering does. Lines beginning with
// "*" end the engine's reading, so they go last.
QByteArray EngineFileContents(const QStringList& lines) {
    struct FileLine {
        bool endsReading;
        std::string key;
        std::string text;
    };
    std::vector<FileLine> ordered;
    ordered.reserve(lines.size());
    for (const QString& line : lines)
        ordered.push_back({line.startsWith(QLatin1Char('*')), TextForEngine(WordPart(line).toLower()),
                           TextForEngine(line)});
    std::stable_sort(ordered.begin(), ordered.end(), [](const FileLine& a, const FileLine& b) {
        if (a.endsReading != b.endsReading) return b.endsReading;
        return a.key < b.key;  // std::string compares bytes as unsigned, as the engine does
    });
    QByteArray contents;
    for (const FileLine& line : ordered) {
        contents.append(line.text.data(), static_cast<qsizetype>(line.text.size()));
        contents.append("\r\n");
    }
    return contents;
}

// A screen reader says "palavra, transcrição" rather than a TAB.
void SetLine(QListWidgetItem* item, const QString& line) {
    QString spoken = line;
    spoken.replace(kTab, QStringLiteral(", "));
    item->setText(line);
    item->setData(Qt::AccessibleTextRole, spoken);
}

QListWidgetItem* NewLine(const QString& line) {
    auto* item = new QListWidgetItem;
    SetLine(item, line);
    return item;
}

QLineEdit* NewField(const char* name, const QString& spokenName, const QString& description) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(kFieldLength);
    field->setAccessibleName(spokenName);
    field->setAccessibleDescription(description);
    return field;
}

}  // namespace

TfrmDicionario::TfrmDicionario(Falavoz& engine, TfrmMain& main, QWidget* parent)
    : QDialog(parent),
      engine_(engine),
      main_(main),
      collator_(QLocale(QLocale::Portuguese, QLocale::Brazil)) {
    setObjectName(QStringLiteral("frmDicionario"));
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    SetHelpContext(this, kHelpContext);

    Ask = [this](const QString& caption, const QString& question) {
        return AskYesNo(caption, question, QMessageBox::Question, this);
    };
    Tell = [this](const QString& caption, const QString& text) {
        ShowMessageBox(caption, text, QMessageBox::Critical, this);
    };
    ChooseFileToOpen = [this] { return ChooseFile(QStringLiteral("Abrir Dicionário"), openDir_, true); };
    ChooseFileToSave = [this] { return ChooseFile(QStringLiteral("Salvar Dicionário"), saveDir_, false); };

    BuildControls();
    BuildPalette();
    ConnectControls();
    InstallHelpKey(this);
    CentreWhenShown(this);
    RestoreSettings();
}

void TfrmDicionario::BuildControls() {
    Edit1 = NewField("Edit1", QStringLiteral("Palavra"),
                     QStringLiteral("A palavra cuja pronúncia o Falavoz deve tirar do dicionário"));
    Edit2 =
        NewField("Edit2", QStringLiteral("Transcrição fonética"),
                 QStringLiteral("A pronúncia da palavra em símbolos fonéticos; F4 abre a lista de fonemas"));
    auto* wordLabel = new QLabel(QStringLiteral("&Palavra:"));
    wordLabel->setBuddy(Edit1);
    auto* transcriptionLabel = new QLabel(QStringLiteral("&Transcrição Fonética:"));
    transcriptionLabel->setBuddy(Edit2);
    for (QLineEdit* field : {Edit1, Edit2}) field->installEventFilter(this);

    Button2 = NewButton("Button2", QStringLiteral("..."),
                        QStringLiteral("Abre a lista de fonemas; o escolhido vai para o fim da transcrição"));
    Button2->setAccessibleName(QStringLiteral("Fonemas"));
    btnAdiciona = NewButton("btnAdiciona", QStringLiteral("Adicionar Palavra"),
                            QStringLiteral("Põe a palavra no dicionário, ou troca a sua transcrição"));
    btnAdiciona->setDefault(true);
    btnApaga = NewButton("btnApaga", QStringLiteral("Apagar Palavra"),
                         QStringLiteral("Apaga a linha selecionada da lista"));
    btnApagaTudo = NewButton("btnApagaTudo", QStringLiteral("Apagar Tudo"),
                             QStringLiteral("Apaga todas as palavras da lista"));
    btnNovo =
        NewButton("btnNovo", QStringLiteral("Novo Arquivo"), QStringLiteral("Começa um dicionário vazio"));
    btnCarrega = NewButton("btnCarrega", QStringLiteral("Carregar Arquivo..."),
                           QStringLiteral("Abre um arquivo de dicionário"));
    btnSalva = NewButton("btnSalva", QStringLiteral("Salvar Arquivo"),
                         QStringLiteral("Grava a lista no arquivo atual"));
    Button1 = NewButton("Button1", QStringLiteral("Salvar Arquivo Como..."),
                        QStringLiteral("Grava a lista num arquivo escolhido"));
    btnFalar1 = NewButton("btnFalar1", QStringLiteral("Falar Palavra"),
                          QStringLiteral("Fala a palavra como o Falavoz a lê sem o dicionário"));
    btnFalar2 = NewButton("btnFalar2", QStringLiteral("Falar Transcrição Fonética"),
                          QStringLiteral("Fala a transcrição, para comparar"));
    btnFechar = NewButton("btnFechar", QStringLiteral("Fechar"),
                          QStringLiteral("Fecha a janela e entrega a lista ao Falavoz"));
    for (QPushButton* off : {btnAdiciona, btnApaga, btnApagaTudo}) off->setEnabled(false);

    ckUtiliza = new QCheckBox(QStringLiteral("Utilizar Dicionário Atual"));
    ckUtiliza->setObjectName(QStringLiteral("ckUtiliza"));
    ckUtiliza->setChecked(true);
    ckUtiliza->setAccessibleDescription(
        QStringLiteral("O Falavoz usa esta lista ao fechar a janela e carrega o arquivo ao iniciar"));

    Lista = new QListWidget;
    Lista->setObjectName(QStringLiteral("Lista"));
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista->setMinimumSize(380, 260);
    Lista->setAccessibleName(QStringLiteral("Palavras do dicionário"));
    Lista->setAccessibleDescription(
        QStringLiteral("Cada linha traz a palavra e a sua transcrição; Delete apaga a linha selecionada"));
    Lista->installEventFilter(this);

    NomeArq = new QLabel;
    NomeArq->setObjectName(QStringLiteral("NomeArq"));
    NomeArq->setVisible(false);

    auto* fields = new QGridLayout;
    fields->addWidget(wordLabel, 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(btnFalar1, 0, 3);
    fields->addWidget(transcriptionLabel, 1, 0);
    fields->addWidget(Edit2, 1, 1);
    fields->addWidget(Button2, 1, 2);
    fields->addWidget(btnFalar2, 1, 3);
    fields->addWidget(btnAdiciona, 2, 1);

    auto* side = new QVBoxLayout;
    for (QPushButton* button : {btnApaga, btnApagaTudo}) side->addWidget(button);
    side->addSpacing(16);
    for (QPushButton* button : {btnNovo, btnCarrega, btnSalva, Button1}) side->addWidget(button);
    side->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(Lista, 1);
    middle->addLayout(side);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ckUtiliza);
    bottom->addWidget(NomeArq);
    bottom->addStretch();
    bottom->addWidget(btnFechar);

    auto* column = new QVBoxLayout(this);
    column->addLayout(fields);
    column->addLayout(middle);
    column->addLayout(bottom);
    column->setSizeConstraint(QLayout::SetFixedSize);

    const QList<QWidget*> tabOrder = {Edit1,      Edit2,    Button2,  btnAdiciona,  btnFalar1,
                                      btnFalar2,  Lista,    btnApaga, btnApagaTudo, btnNovo,
                                      btnCarrega, btnSalva, Button1,  ckUtiliza,    btnFechar};
    for (int k = 1; k < tabOrder.size(); ++k) setTabOrder(tabOrder[k - 1], tabOrder[k]);
}

void TfrmDicionario::BuildPalette() {
    MenuGrid = new QMenu(this);
    MenuGrid->setObjectName(QStringLiteral("MenuGrid"));
    MenuGrid->setAccessibleName(QStringLiteral("Fonemas"));
    QAction* title = MenuGrid->addAction(QStringLiteral("FONEMAS"));
    title->setEnabled(false);
    const auto addSubmenu = [this](const QString& caption, const auto& items) {
        QMenu* submenu = MenuGrid->addMenu(caption);
        for (const char* item : items) {
            const QString itemCaption = QString::fromUtf8(item);
            connect(submenu->addAction(itemCaption), &QAction::triggered, this,
                    [this, itemCaption] { AppendSymbol(itemCaption); });
        }
    };
    addSubmenu(QStringLiteral("&Vogais"), kVowels);
    addSubmenu(QStringLiteral("&Consoantes"), kConsonants);
}

void TfrmDicionario::ConnectControls() {
    connect(Edit1, &QLineEdit::textChanged, this, &TfrmDicionario::UpdateAddButton);
    connect(Edit2, &QLineEdit::textChanged, this, &TfrmDicionario::UpdateAddButton);
    connect(Lista, &QListWidget::itemSelectionChanged, this, &TfrmDicionario::ListSelectionChanged);
    connect(Button2, &QPushButton::clicked, this, &TfrmDicionario::ShowPalette);
    connect(btnAdiciona, &QPushButton::clicked, this, &TfrmDicionario::AddEntry);
    connect(btnApaga, &QPushButton::clicked, this, &TfrmDicionario::DeleteSelected);
    connect(btnApagaTudo, &QPushButton::clicked, this, &TfrmDicionario::DeleteAll);
    connect(btnNovo, &QPushButton::clicked, this, &TfrmDicionario::NewFile);
    connect(btnCarrega, &QPushButton::clicked, this, &TfrmDicionario::OpenFile);
    connect(btnSalva, &QPushButton::clicked, this, &TfrmDicionario::Save);
    connect(Button1, &QPushButton::clicked, this, &TfrmDicionario::SaveAs);
    connect(btnFalar1, &QPushButton::clicked, this, [this] { main_.SpeakRequest(Edit1->text()); });
    // "\*" opens and closes a section the engine reads as phonetic symbols.
    connect(btnFalar2, &QPushButton::clicked, this,
            [this] { main_.SpeakRequest(QStringLiteral("\\*") + Edit2->text() + QStringLiteral("\\*")); });
    connect(btnFechar, &QPushButton::clicked, this, &TfrmDicionario::reject);
}

void TfrmDicionario::RestoreSettings() {
    auto store = OpenSettings();
    store->beginGroup(QStringLiteral("Opcoes"));
    SetFileName(store->value(QStringLiteral("NomeArq.Caption")).toString());
    openDir_ = store->value(QStringLiteral("OpenDlg.InitialDir")).toString();
    saveDir_ = store->value(QStringLiteral("SaveDlg.InitialDir")).toString();
    RestoreState(*store, *ckUtiliza);
}

void TfrmDicionario::SaveSettings() {
    auto store = OpenSettings();
    store->beginGroup(QStringLiteral("Opcoes"));
    store->setValue(QStringLiteral("NomeArq.Caption"), FileName());
    store->setValue(QStringLiteral("OpenDlg.InitialDir"), openDir_);
    store->setValue(QStringLiteral("SaveDlg.InitialDir"), saveDir_);
    SaveState(*store, *ckUtiliza);
    store->endGroup();
    const QString error = StoreError(*store);
    if (!error.isEmpty()) Tell(kCaption, error);
}

QString TfrmDicionario::FileName() const { return NomeArq->text(); }

QString TfrmDicionario::DictionaryInUse() const { return ckUtiliza->isChecked() ? FileName() : QString(); }

void TfrmDicionario::ShowEditor() {
    // A second request while the window is open must not throw away the
    // edits by reloading the file.
    if (!isVisible()) {
        main_.EnsureEngine();
        if (!FileName().isEmpty()) LoadFile(FileName());
        modified_ = false;
        // The engine speaks without the dictionary while it is being edited.
        engine_.DictUnload();
    }
    ShowInFront(this);
    Edit1->setFocus();
}

void TfrmDicionario::reject() {
    if (!isVisible()) return;
    if (!OfferToSave()) return;  // the window stays open with the list
    engine_.DictUnload();
    if (ckUtiliza->isChecked()) {
        for (int row = 0; row < Lista->count(); ++row) {
            const QString line = Lista->item(row)->text();
            const int tab = line.indexOf(kTab);
            // A full engine dictionary or a repeated word is not the user's
            // concern here: the list itself is kept.
            if (tab >= 0) engine_.DictAdd(line.left(tab), line.mid(tab + 1));
        }
    }
    SaveSettings();
    QDialog::reject();
}

int TfrmDicionario::Find(const QString& word) const {
    for (int row = 0; row < Lista->count(); ++row) {
        const QString line = Lista->item(row)->text();
        if (line.indexOf(kTab) == word.size() && line.startsWith(word)) return row;
    }
    return -1;
}

void TfrmDicionario::AddEntry() {
    if (!btnAdiciona->isEnabled()) return;
    const QString typed = Edit1->text().normalized(QString::NormalizationForm_C).trimmed();
    const QString transcription = Edit2->text().normalized(QString::NormalizationForm_C).trimmed();
    const QString problem = WordProblem(typed);
    if (!problem.isEmpty()) {
        Tell(kCaption, problem);
        return;
    }
    const QString word = EngineWord(typed);
    const int found = Find(word);
    // Only a new line needs room; a full list still takes corrections.
    if (found < 0 && Lista->count() >= kMaxEntries) {
        Tell(kCaption, QStringLiteral("O Dicionário está lotado. Não é possível adicionar mais palavras"));
        return;
    }
    const QString unknown = UnknownPhoneme(transcription);
    if (!unknown.isEmpty()) {
        Tell(kCaption, QStringLiteral("O Fonema \"%1\" não existe").arg(unknown));
        return;
    }
    const QString line = word + kTab + transcription;
    if (found >= 0)
        SetLine(Lista->item(found), line);
    else
        Lista->insertItem(InsertionRow(line), NewLine(line));
    ClearFields();
    Edit1->setFocus();
    btnApagaTudo->setEnabled(true);
    modified_ = true;
}

void TfrmDicionario::DeleteSelected() {
    const QList<QListWidgetItem*> selected = Lista->selectedItems();
    if (selected.isEmpty()) return;
    const int row = Lista->row(selected.first());
    delete Lista->takeItem(row);
    if (Lista->count() > 0) Lista->setCurrentRow(std::min(row, Lista->count() - 1));
    ClearFields();
    btnApaga->setEnabled(!Lista->selectedItems().isEmpty());
    if (Lista->count() == 0) {
        btnApagaTudo->setEnabled(false);
        Edit1->setFocus();
    }
    modified_ = true;
}

void TfrmDicionario::DeleteAll() {
    if (!Ask(kCaption, QStringLiteral("Deseja mesmo apagar este Dicionário?"))) return;
    Lista->clear();
    ClearFields();
    Edit1->setFocus();
    btnApaga->setEnabled(false);
    btnApagaTudo->setEnabled(false);
    modified_ = true;
}

bool TfrmDicionario::OfferToSave() {
    if (!modified_ || !Ask(kCaption, kSaveQuestion)) return true;
    return Save();
}

void TfrmDicionario::NewFile() {
    if (!OfferToSave()) return;
    Lista->clear();
    SetFileName(QString());
    btnApaga->setEnabled(false);
    btnApagaTudo->setEnabled(false);
    ClearFields();
    Edit1->setFocus();
    modified_ = false;
}

void TfrmDicionario::OpenFile() {
    if (!OfferToSave()) return;
    const QString fileName = ChooseFileToOpen();
    if (fileName.isEmpty()) return;
    openDir_ = QFileInfo(fileName).absolutePath();
    LoadFile(fileName);
}

bool TfrmDicionario::LoadFile(const QString& fileName) {
    QStringList lines;
    QString problem;
    if (!ReadDictionary(fileName, lines, problem)) {
        Tell(kCaption, problem);
        return false;
    }
    FillList(lines);
    btnApaga->setEnabled(false);
    btnApagaTudo->setEnabled(Lista->count() > 0);
    ClearFields();
    Edit1->setFocus();
    SetFileName(fileName);
    modified_ = false;
    return true;
}

bool TfrmDicionario::Save() { return FileName().isEmpty() ? SaveAs() : SaveFile(FileName()); }

bool TfrmDicionario::SaveAs() {
    QString fileName = ChooseFileToSave();
    if (fileName.isEmpty()) return false;
    // Only the file's own name counts: a point in a folder's name ("~/.local",
    // "/home/ana.souza") does not make an extension.
    if (!QFileInfo(fileName).fileName().contains(QLatin1Char('.'))) fileName += QStringLiteral(".dic");
    saveDir_ = QFileInfo(fileName).absolutePath();
    return SaveFile(fileName);
}

bool TfrmDicionario::SaveFile(const QString& fileName) {
    QStringList lines;
    for (int row = 0; row < Lista->count(); ++row) lines << Lista->item(row)->text();
    const QByteArray contents = EngineFileContents(lines);
    // Written beside the old file and put in its place only when complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        Tell(kCaption, QStringLiteral("Não foi possível gravar o dicionário em\n%1\n\n(%2)")
                           .arg(fileName, file.errorString()));
        return false;
    }
    SetFileName(fileName);
    modified_ = false;
    return true;
}

QString TfrmDicionario::ChooseFile(const QString& title, const QString& folder, bool toOpen) {
    QFileDialog dialog(this, title, folder, kFileFilter);
    dialog.setAcceptMode(toOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(toOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A save asks before replacing a file under the name that will really be
    // written, ".dic" included.
    dialog.setDefaultSuffix(QStringLiteral("dic"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void TfrmDicionario::ShowPalette() { MenuGrid->popup(Button2->mapToGlobal(QPoint(0, 0))); }

void TfrmDicionario::AppendSymbol(const QString& caption) {
    Edit2->setText(Edit2->text() + caption.left(1));
    Edit2->setFocus();
    Edit2->end(false);
}

void TfrmDicionario::ListSelectionChanged() {
    const QList<QListWidgetItem*> selected = Lista->selectedItems();
    if (selected.isEmpty()) return;
    btnApaga->setEnabled(true);
    const QString line = selected.first()->text();
    const int tab = line.indexOf(kTab);
    if (tab < 0) return;
    Edit1->setText(line.left(tab));
    Edit2->setText(line.mid(tab + 1));
}

void TfrmDicionario::UpdateAddButton() {
    btnAdiciona->setEnabled(!Edit1->text().trimmed().isEmpty() && !Edit2->text().trimmed().isEmpty());
}

void TfrmDicionario::FillList(QStringList lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [this](const QString& a, const QString& b) { return DisplayLess(a, b); });
    Lista->clear();
    for (const QString& line : lines) Lista->addItem(NewLine(line));
}

void TfrmDicionario::SetFileName(const QString& fileName) {
    NomeArq->setText(fileName);
    setWindowTitle(fileName.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + fileName);
}

void TfrmDicionario::ClearFields() {
    Edit1->clear();
    Edit2->clear();
}

int TfrmDicionario::InsertionRow(const QString& line) const {
    int lo = 0;
    int hi = Lista->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (DisplayLess(line, Lista->item(mid)->text()))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// Alphabetical as a reader expects it, capitals beside the same word in
// small letters ("Casa" before "casa"), accented letters beside the plain.
bool TfrmDicionario::DisplayLess(const QString& a, const QString& b) const {
    const QString wordA = WordPart(a);
    const QString wordB = WordPart(b);
    if (const int order = collator_.compare(wordA, wordB)) return order < 0;
    if (const int order = wordA.compare(wordB)) return order < 0;
    return a < b;
}

bool TfrmDicionario::eventFilter(QObject* watched, QEvent* event) {
    const auto pressed = [event](int key) {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key;
    };
    if (watched == Lista && pressed(Qt::Key_Delete)) {
        if (btnApaga->isEnabled()) DeleteSelected();
        return true;
    }
    if (watched == Edit2 && pressed(Qt::Key_F4)) {
        ShowPalette();
        return true;
    }
    if (watched == Edit1 || watched == Edit2) {
        auto* field = static_cast<QLineEdit*>(watched);
        // Entering a field or double-clicking it selects its whole text; the
        // keyboard's Tab already does.
        if (event->type() == QEvent::MouseButtonDblClick) {
            field->selectAll();
            return true;
        }
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}
