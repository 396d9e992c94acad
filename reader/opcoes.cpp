#include "opcoes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "Falavoz.h"
#include "GlobalHotKey.h"
#include "Help.h"
#include "Settings.h"
#include "Widgets.h"

namespace {

constexpr int kDefaultSpeed = 10;
constexpr int kDefaultPitch = 10;
constexpr int kDefaultVolume = 20;
constexpr int kDefaultKey = 120;  // F9
const QString kNormalRate = QStringLiteral("16000");
const QString kCompatibleRate = QStringLiteral("17500");

// The engine's options that the analysis boxes switch.
constexpr int kOptionSpell = 1;
constexpr int kOptionPauses = 2;
constexpr int kOptionAnalysis = 3;
constexpr int kOptionQuotes = 5;
constexpr int kOptionRate = 6;

QCheckBox* NewCheckBox(const char* name, const QString& caption, const QString& description, int help) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleDescription(description);
    SetHelpContext(box, help);
    return box;
}

QSlider* NewSlider(const char* name, const QString& spokenName, const QString& description, int help) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QLatin1String(name));
    slider->setRange(1, 20);
    slider->setPageStep(2);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setAccessibleName(spokenName);
    slider->setAccessibleDescription(description);
    SetHelpContext(slider, help);
    return slider;
}

// A slider row: the label that names it, "-", the slider, "+".
void AddSliderRow(QGridLayout* grid, int row, const QString& caption, QSlider* slider) {
    auto* label = new QLabel(caption);
    label->setBuddy(slider);
    auto* less = new QLabel(QStringLiteral("-"));
    auto* more = new QLabel(QStringLiteral("+"));
    grid->addWidget(label, row, 0);
    grid->addWidget(less, row, 1);
    grid->addWidget(slider, row, 2);
    grid->addWidget(more, row, 3);
}

}  // namespace

TfrmOpcoes::TfrmOpcoes(Falavoz& engine, GlobalHotKey& hotKey, QWidget* parent)
    : QDialog(parent), engine_(engine), hotKey_(hotKey) {
    setObjectName(QStringLiteral("frmOpcoes"));
    setWindowTitle(QStringLiteral("Opções do Falavoz®"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    SetHelpContext(this, 16);
    BuildControls();
    SetDefaults();
    ConnectControls();
    InstallHelpKey(this);
    CentreWhenShown(this);
    RestoreSettings();
    RegisterHotKey();
}

void TfrmOpcoes::BuildControls() {
    scrVelocidade =
        NewSlider("scrVelocidade", QStringLiteral("Velocidade"),
                  QStringLiteral("Velocidade da fala, de 1, a mais lenta, a 20, a mais rápida"), 2);
    scrTonalidade = NewSlider("scrTonalidade", QStringLiteral("Tonalidade"),
                              QStringLiteral("Tom da voz, de 1, o mais grave, a 20, o mais agudo"), 3);
    scrVolume = NewSlider("scrVolume", QStringLiteral("Volume"),
                          QStringLiteral("Volume da voz, de 1, o mais baixo, a 20, o mais alto"), 4);
    auto* audio = new QGroupBox(QStringLiteral("Áudio"));
    auto* audioGrid = new QGridLayout(audio);
    AddSliderRow(audioGrid, 0, QStringLiteral("&Velocidade"), scrVelocidade);
    AddSliderRow(audioGrid, 1, QStringLiteral("&Tonalidade"), scrTonalidade);
    AddSliderRow(audioGrid, 2, QStringLiteral("Vol&ume"), scrVolume);

    cbTecla = new QComboBox;
    cbTecla->setObjectName(QStringLiteral("cbTecla"));
    for (int key = 1; key <= 12; ++key) cbTecla->addItem(QStringLiteral("F%1").arg(key));
    cbTecla->setAccessibleName(QStringLiteral("Tecla de acionamento"));
    cbTecla->setAccessibleDescription(
        QStringLiteral("A tecla que lê o texto selecionado em qualquer janela"));
    SetHelpContext(cbTecla, 7);
    auto* keyLabel = new QLabel(QStringLiteral("T&ecla:"));
    keyLabel->setBuddy(cbTecla);
    const QString modifierDescription =
        QStringLiteral("Tecla que se pressiona junto com a tecla de acionamento");
    ckShift = NewCheckBox("ckShift", QStringLiteral("S&hift"), modifierDescription, 7);
    ckCtrl = NewCheckBox("ckCtrl", QStringLiteral("Ct&rl"), modifierDescription, 7);
    ckAlt = NewCheckBox("ckAlt", QStringLiteral("&Alt"), modifierDescription, 7);
    Freq = new QLineEdit;
    Freq->setObjectName(QStringLiteral("Freq"));
    Freq->setVisible(false);
    auto* keyText = new QLabel(QStringLiteral(
        "Sempre que a tecla de acionamento especificada for pressionada, o Falavoz pronunciará o texto que "
        "estiver selecionado na janela em que você estiver. "));
    keyText->setWordWrap(true);
    auto* hotKeyGroup = new QGroupBox(QStringLiteral("Tecla de Acionamento"));
    auto* hotKeyGrid = new QGridLayout(hotKeyGroup);
    hotKeyGrid->addWidget(keyText, 0, 0, 1, 4);
    hotKeyGrid->addWidget(keyLabel, 1, 0);
    hotKeyGrid->addWidget(cbTecla, 1, 1, 1, 3);
    hotKeyGrid->addWidget(ckShift, 2, 1);
    hotKeyGrid->addWidget(ckCtrl, 2, 2);
    hotKeyGrid->addWidget(ckAlt, 2, 3);
    hotKeyGrid->addWidget(Freq, 3, 0);

    ckAnalise =
        NewCheckBox("ckAnalise", QStringLiteral("Analisar ambigüidades de &pronúncia"),
                    QStringLiteral("Escolhe entre pronúncias de palavras escritas do mesmo jeito, pelo "
                                   "contexto da frase"),
                    8);
    ckCase = NewCheckBox("ckCase", QStringLiteral("&Soletrar palavras escritas em letras maiúsculas"),
                         QStringLiteral("Lê letra por letra as palavras escritas só com maiúsculas"), 9);
    ckDetectPause = NewCheckBox("ckDetectPause", QStringLiteral("&Detectar pausas não indicadas no texto"),
                                QStringLiteral("Faz pausas naturais onde o texto não tem pontuação"), 10);
    ckAspas = NewCheckBox("ckAspas", QStringLiteral("&Ler sinais de aspas"),
                          QStringLiteral("Diz abre aspas e fecha aspas"), 11);
    auto* analysis = new QGroupBox(QStringLiteral("Análise de Textos"));
    auto* analysisColumn = new QVBoxLayout(analysis);
    for (QCheckBox* box : {ckAnalise, ckCase, ckDetectPause, ckAspas}) analysisColumn->addWidget(box);

    ckPrioridade = NewCheckBox(
        "ckPrioridade",
        QStringLiteral("&Cancelar a locução em andamento quando uma nova locução for solicitada"),
        QStringLiteral("Um novo pedido de leitura interrompe a leitura atual em vez de ser ignorado"), 6);
    Compativel = NewCheckBox("Compativel", QStringLiteral("Placa de Som incompatível com Sound Blaster"),
                             QStringLiteral("Toca o som a 17500 hertz, para placas que tocam rápido ou lento "
                                            "demais"),
                             5);
    auto* various = new QGroupBox(QStringLiteral("Diversos"));
    auto* variousColumn = new QVBoxLayout(various);
    variousColumn->addWidget(ckPrioridade);
    variousColumn->addWidget(Compativel);

    HabilitarLembretes = NewCheckBox("HabilitarLembretes", QStringLiteral("&Habilitar lembretes"),
                                     QStringLiteral("Fala os lembretes na data e hora marcadas"), 12);
    IgnorarAtraso = NewCheckBox("IgnorarAtraso", QStringLiteral("Ignorar le&mbretes atrasados"),
                                QStringLiteral("Não fala os lembretes cuja hora já passou"), 13);

    btnOk = NewButton("btnOk", QStringLiteral("OK"), QStringLiteral("Grava as opções e fecha a janela"));
    btnOk->setDefault(true);
    btnTestar =
        NewButton("btnTestar", QStringLiteral("Testar Pronúncia"),
                  QStringLiteral("Fala uma frase com a velocidade, a tonalidade e o volume escolhidos"));
    btnCancelar = NewButton("btnCancelar", QStringLiteral("Cancelar"),
                            QStringLiteral("Desfaz as mudanças e fecha a janela"));
    btnAjuda = NewButton("btnAjuda", QStringLiteral("Desligar o  Falavoz®"),
                         QStringLiteral("Encerra o Leitor de Textos Falavoz"));
    Button1 = NewButton("Button1", QStringLiteral("Ajuda"), QStringLiteral("Abre a ajuda destas opções"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnOk, btnTestar, btnCancelar, btnAjuda, Button1}) buttons->addWidget(button);

    auto* grid = new QGridLayout(this);
    grid->addWidget(audio, 0, 0);
    grid->addWidget(analysis, 0, 1);
    grid->addWidget(hotKeyGroup, 1, 0);
    grid->addWidget(various, 1, 1);
    grid->addWidget(HabilitarLembretes, 2, 0);
    grid->addWidget(IgnorarAtraso, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    const QList<QWidget*> tabOrder = {scrVelocidade, scrTonalidade,
                                      scrVolume,     cbTecla,
                                      ckShift,       ckCtrl,
                                      ckAlt,         ckAnalise,
                                      ckCase,        ckDetectPause,
                                      ckAspas,       ckPrioridade,
                                      Compativel,    HabilitarLembretes,
                                      IgnorarAtraso, btnOk,
                                      btnTestar,     btnCancelar,
                                      btnAjuda,      Button1};
    for (int k = 1; k < tabOrder.size(); ++k) setTabOrder(tabOrder[k - 1], tabOrder[k]);
}

void TfrmOpcoes::SetDefaults() {
    scrVelocidade->setValue(kDefaultSpeed);
    scrTonalidade->setValue(kDefaultPitch);
    scrVolume->setValue(kDefaultVolume);
    cbTecla->setCurrentIndex(kDefaultKey - GlobalHotKey::kF1);
    cbTeclaTag = kDefaultKey;
    for (QCheckBox* off : {ckShift, ckCtrl, ckAlt, ckCase, ckAspas, Compativel, IgnorarAtraso})
        off->setChecked(false);
    for (QCheckBox* on : {ckAnalise, ckDetectPause, ckPrioridade, HabilitarLembretes}) on->setChecked(true);
    Freq->setText(kNormalRate);
}

void TfrmOpcoes::ConnectControls() {
    connect(cbTecla, &QComboBox::activated, this, [this](int index) {
        cbTeclaTag = GlobalHotKey::kF1 + index;
        RegisterHotKey();
    });
    for (QCheckBox* modifier : {ckShift, ckCtrl, ckAlt})
        connect(modifier, &QCheckBox::clicked, this, &TfrmOpcoes::RegisterHotKey);
    const std::pair<QCheckBox*, int> analysisOptions[] = {{ckAnalise, kOptionAnalysis},
                                                          {ckCase, kOptionSpell},
                                                          {ckDetectPause, kOptionPauses},
                                                          {ckAspas, kOptionQuotes}};
    for (auto [box, option] : analysisOptions)
        connect(box, &QCheckBox::clicked, this,
                [this, box = box, option = option] { SetOptionFromBox(option, box); });
    connect(Compativel, &QCheckBox::clicked, this,
            [this](bool checked) { Freq->setText(checked ? kCompatibleRate : kNormalRate); });
    connect(HabilitarLembretes, &QCheckBox::clicked, this, &TfrmOpcoes::remindersSwitched);
    connect(btnOk, &QPushButton::clicked, this, &TfrmOpcoes::accept);
    connect(btnTestar, &QPushButton::clicked, this, &TfrmOpcoes::TestSpeech);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmOpcoes::reject);
    connect(btnAjuda, &QPushButton::clicked, this, &TfrmOpcoes::AskToQuit);
    connect(Button1, &QPushButton::clicked, this, [this] { OpenHelp(16, this); });
}

void TfrmOpcoes::RestoreSettings() {
    SetDefaults();
    auto store = OpenSettings();
    store->beginGroup(QStringLiteral("Opcoes"));
    for (QSlider* slider : {scrVelocidade, scrTonalidade, scrVolume}) RestorePosition(*store, *slider);
    for (QCheckBox* box : findChildren<QCheckBox*>()) RestoreState(*store, *box);
    // The key's name decides; the stored tag serves when the name is unknown.
    const int byName = cbTecla->findText(store->value(QStringLiteral("cbTecla.Text")).toString());
    const int tag = StoredNumber(*store, QStringLiteral("cbTecla.Tag"), kDefaultKey);
    if (byName >= 0)
        cbTeclaTag = GlobalHotKey::kF1 + byName;
    else if (tag >= GlobalHotKey::kF1 && tag <= GlobalHotKey::kF12)
        cbTeclaTag = tag;
    cbTecla->setCurrentIndex(cbTeclaTag - GlobalHotKey::kF1);
    const int rate = StoredNumber(*store, QStringLiteral("Freq.Text"), 0);
    if (rate >= 4000 && rate <= 48000) Freq->setText(QString::number(rate));
}

QString TfrmOpcoes::SaveSettings() {
    auto store = OpenSettings();
    store->beginGroup(QStringLiteral("Opcoes"));
    store->setValue(QStringLiteral("cbTecla.Text"), cbTecla->currentText());
    store->setValue(QStringLiteral("cbTecla.Tag"), QString::number(cbTeclaTag));
    for (QCheckBox* box : findChildren<QCheckBox*>()) SaveState(*store, *box);
    for (QSlider* slider : {scrVelocidade, scrTonalidade, scrVolume}) SavePosition(*store, *slider);
    store->setValue(QStringLiteral("Freq.Text"), Freq->text());
    store->endGroup();
    return StoreError(*store);
}

void TfrmOpcoes::ApplyToEngine() {
    engine_.SetMode(scrVelocidade->value(), scrVolume->value(), scrTonalidade->value());
    SetOptionFromBox(kOptionAnalysis, ckAnalise);
    SetOptionFromBox(kOptionSpell, ckCase);
    SetOptionFromBox(kOptionPauses, ckDetectPause);
    SetOptionFromBox(kOptionQuotes, ckAspas);
    engine_.SetOption(kOptionRate, Freq->text().toInt());
}

void TfrmOpcoes::SetOptionFromBox(int option, const QCheckBox* box) {
    engine_.SetOption(option, box->isChecked() ? 1 : 0);
}

int TfrmOpcoes::HotKeyModifiers() const {
    return (ckCtrl->isChecked() ? GlobalHotKey::kCtrl : 0) |
           (ckShift->isChecked() ? GlobalHotKey::kShift : 0) | (ckAlt->isChecked() ? GlobalHotKey::kAlt : 0);
}

void TfrmOpcoes::RegisterHotKey() { hotKey_.Register(HotKeyModifiers(), cbTeclaTag); }

void TfrmOpcoes::ShowInFront() {
    ::ShowInFront(this);
    scrVelocidade->setFocus();  // the keyboard starts at the top
}

void TfrmOpcoes::accept() {
    const QString error = SaveSettings();
    if (!error.isEmpty()) ShowMessageBox(QStringLiteral("Falavoz"), error, QMessageBox::Warning, this);
    ApplyToEngine();
    hide();
}

void TfrmOpcoes::reject() {
    RestoreSettings();
    ApplyToEngine();
    RegisterHotKey();
    // The reminder timer follows the restored box, not the click undone.
    emit remindersSwitched(HabilitarLembretes->isChecked());
    hide();
}

void TfrmOpcoes::TestSpeech() {
    engine_.SetMode(scrVelocidade->value(), scrVolume->value(), scrTonalidade->value());
    engine_.SetOption(kOptionRate, Freq->text().toInt());
    emit speakRequested(QStringLiteral("Testando o Falavoz"));
}

void TfrmOpcoes::AskToQuit() {
    if (AskYesNo(QStringLiteral("Falavoz"), QStringLiteral("Deseja mesmo sair do Falavoz?"),
                 QMessageBox::Question, this))
        emit quitRequested();
}
