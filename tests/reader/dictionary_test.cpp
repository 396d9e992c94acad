// The phonetic dictionary editor: the list's edits and their refusals, the
// file it writes (Windows-1252, CR LF, in the order the engine searches),
// the questions about unsaved changes, what the engine is given on showing
// and closing, the settings and the phoneme palette; and, with the real
// engine, that the words added are read as transcribed after closing and
// from the saved file.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include "Dicionario.h"
#include "Help.h"
#include "ReaderDoubles.h"
#include "SettingsSandbox.h"
#include "SysTray.h"
#include "main.h"
#include "opcoes.h"

namespace {

const QString kSaveQuestion = QStringLiteral("O Dicionário atual foi alterado. Deseja salvá-lo?");

QByteArray ReadBytes(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteBytes(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The recording engine, held so that *engine names it as for a linked one.
struct Recording {
    RecordingFalavoz recorder;
    RecordingFalavoz& operator*() { return recorder; }
};

struct Linked {
    QObject owner;
    std::unique_ptr<Falavoz> engine = LinkFalavoz(&owner);
    Falavoz& operator*() { return *engine; }
};

}  // namespace

// The reader's windows as at start; the editor's questions, messages and
// file dialogs are answered by the test.
template <typename Engine>
struct EditorOver {
    Engine engine;
    RecordingHotKey hotKey;
    TfrmMain main{*engine, hotKey};
    TfrmOpcoes options{*engine, hotKey};
    TTrayForm tray;
    TfrmDicionario editor{*engine, main};
    QStringList asked;
    std::deque<bool> answers;  // to the questions in turn; No when none are left
    QStringList told;          // "caption: text"
    QString fileToOpen;
    QString fileToSave;

    EditorOver() {
        main.Attach(&options, &tray);
        main.ShowError = [this](int code) { told << QStringLiteral("engine error %1").arg(code); };
        editor.Ask = [this](const QString& caption, const QString& question) {
            asked << caption + ": " + question;
            if (answers.empty()) return false;
            const bool yes = answers.front();
            answers.pop_front();
            return yes;
        };
        editor.Tell = [this](const QString& caption, const QString& text) { told << caption + ": " + text; };
        editor.ChooseFileToOpen = [this] { return fileToOpen; };
        editor.ChooseFileToSave = [this] { return fileToSave; };
    }
    void Add(const QString& word, const QString& transcription) {
        editor.Edit1->setText(word);
        editor.Edit2->setText(transcription);
        editor.btnAdiciona->click();
    }
    QStringList Lines() const {
        QStringList lines;
        for (int row = 0; row < editor.Lista->count(); ++row) lines << editor.Lista->item(row)->text();
        return lines;
    }
};
using Editor = EditorOver<Recording>;

class DictionaryTest : public QObject {
    Q_OBJECT

    SettingsSandbox settings;
    QTemporaryDir folder;

    QString Path(const QString& name) const { return folder.filePath(name); }

private slots:
    void init() { settings.Clear(); }

    void addingReplacesTheSameWordAndRefusesWhatTheEngineCannotRead() {
        Editor e;
        TfrmDicionario& d = e.editor;
        d.Edit1->setText(QStringLiteral("casa"));
        d.Edit2->setText(QStringLiteral("   "));
        QVERIFY(!d.btnAdiciona->isEnabled());  // both fields, trimmed, must hold text
        e.Add(QStringLiteral("casa"), QStringLiteral("-k'a-za"));
        QVERIFY(d.Edit1->text().isEmpty() && d.Edit2->text().isEmpty() && !d.btnAdiciona->isEnabled());
        QVERIFY(d.btnApagaTudo->isEnabled() && d.Modified());
        e.Add(QStringLiteral("zebra"), QStringLiteral("-z'e-bra"));
        e.Add(QStringLiteral("Casa"), QStringLiteral("-k'a-sa"));
        e.Add(QStringLiteral("água"), QStringLiteral("-'a-gwa"));
        e.Add(QStringLiteral("casa"), QStringLiteral("-k'a-zä"));         // replaces
        e.Add(QStringLiteral("  zebra "), QStringLiteral(" -z'é-bra "));  // the blanks around are no part
        // A diaeresis typed as a combining mark is the symbol "ä".
        e.Add(QStringLiteral("banco"), QStringLiteral("-b'a\u0308-ku"));
        e.Add(QStringLiteral("d’água"), QStringLiteral("-d'a-gwa"));  // stored as the engine reads it
        e.Add(QStringLiteral("torre"), QStringLiteral("-t'o-Ri"));
        e.Add(QStringLiteral("casca"), QStringLiteral("-k'aS-ka"));
        e.Add(QStringLiteral("arpa"), QStringLiteral("-'a%-pa_"));
        QCOMPARE(e.told, QStringList());
        QCOMPARE(e.Lines(), QStringList({"água\t-'a-gwa", "arpa\t-'a%-pa_", "banco\t-b'ä-ku", "Casa\t-k'a-sa",
                                         "casa\t-k'a-zä", "casca\t-k'aS-ka", "d'água\t-d'a-gwa",
                                         "torre\t-t'o-Ri", "zebra\t-z'é-bra"}));
        QCOMPARE(d.Find(QStringLiteral("Casa")), 3);
        QCOMPARE(d.Find(QStringLiteral("CASA")), -1);
        QCOMPARE(d.Find(QStringLiteral("cas")), -1);

        e.Add(QStringLiteral("bola"), QStringLiteral("-b'ó-lA"));
        e.Add(QStringLiteral("riso"), QStringLiteral("-R'i-zu🙂"));
        e.Add(QStringLiteral("um\tdois"), QStringLiteral("-'u"));
        e.Add(QStringLiteral("*bola"), QStringLiteral("-b'ó-la"));
        e.Add(QStringLiteral("łódź"), QStringLiteral("-w'u-dji"));
        QCOMPARE(e.told,
                 QStringList({"Falavoz: O Fonema \"A\" não existe", "Falavoz: O Fonema \"🙂\" não existe",
                              "Falavoz: A palavra não pode conter tabulações nem quebras de linha",
                              "Falavoz: A palavra não pode começar com \"*\"",
                              "Falavoz: A palavra \"łódź\" tem caracteres que o Falavoz não lê"}));
        QCOMPARE(e.Lines().size(), 9);
        QCOMPARE(d.Edit1->text(), QStringLiteral("łódź"));  // left for correcting
    }

    void deletingMovesTheSelectionAndClearingAsksFirst() {
        Editor e;
        TfrmDicionario& d = e.editor;
        for (const char* word : {"a", "b", "c", "d"}) e.Add(QLatin1String(word), QStringLiteral("-'a"));
        QVERIFY(!d.btnApaga->isEnabled());
        d.Lista->setCurrentRow(1);  // as a click on "b"
        QVERIFY(d.btnApaga->isEnabled());
        QCOMPARE(d.Edit1->text() + d.Edit2->text(), QStringLiteral("b-'a"));
        d.btnApaga->click();
        QCOMPARE(e.Lines(), QStringList({"a\t-'a", "c\t-'a", "d\t-'a"}));
        QVERIFY(d.Lista->item(1)->isSelected());
        QVERIFY(d.Edit1->text().isEmpty() && d.Edit2->text().isEmpty() && d.btnApaga->isEnabled());
        d.Lista->setCurrentRow(2);
        QTest::keyClick(d.Lista, Qt::Key_Delete);  // the last line: the new last is selected
        QCOMPARE(e.Lines(), QStringList({"a\t-'a", "c\t-'a"}));
        QVERIFY(d.Lista->item(1)->isSelected());

        e.answers = {false};
        d.btnApagaTudo->click();
        QCOMPARE(e.Lines().size(), 2);
        e.answers = {true};
        d.btnApagaTudo->click();
        const QString clearQuestion = QStringLiteral("Falavoz: Deseja mesmo apagar este Dicionário?");
        QCOMPARE(e.asked, QStringList({clearQuestion, clearQuestion}));
        QVERIFY(e.Lines().isEmpty() && !d.btnApaga->isEnabled() && !d.btnApagaTudo->isEnabled());
        QTest::keyClick(d.Lista, Qt::Key_Delete);  // nothing left: nothing happens
        QVERIFY(e.told.isEmpty());
    }

    void theListTakesAtMost5000Words() {
        QByteArray file;
        for (int k = 0; k < 4999; ++k) file += "p" + QByteArray::number(k) + "\t-p'a\r\n";
        WriteBytes(Path("cheio.dic"), file);
        Editor e;
        QVERIFY(e.editor.LoadFile(Path("cheio.dic")));
        e.Add(QStringLiteral("zz"), QStringLiteral("-z'a"));
        QVERIFY(e.told.isEmpty());
        e.Add(QStringLiteral("zzz"), QStringLiteral("-z'a"));
        QCOMPARE(e.told,
                 QStringList({"Falavoz: O Dicionário está lotado. Não é possível adicionar mais palavras"}));
        QCOMPARE(e.Lines().size(), 5000);
        e.Add(QStringLiteral("zz"), QStringLiteral("-z'e"));  // a correction needs no room
        QCOMPARE(e.told.size(), 1);
        QCOMPARE(e.Lines().last(), QStringLiteral("zz\t-z'e"));
    }

    void theFileIsWindows1252WithCrLfInTheEnginesOrder() {
        Editor e;
        for (const char* entry : {"zebra\t-z'e-bra", "Ébano\t-'é-ba-nu", "casa\t-k'a-za", "Casa\t-k'a-sa"}) {
            const QStringList parts = QString::fromUtf8(entry).split('\t');
            e.Add(parts[0], parts[1]);
        }
        const QString fileName = Path("ordem.dic");
        QVERIFY(e.editor.SaveFile(fileName));
        // The lower-cased word in byte order: "é" (E9) after "z".
        QCOMPARE(ReadBytes(fileName), QByteArray("Casa\t-k'a-sa\r\ncasa\t-k'a-za\r\nzebra\t-z'e-bra\r\n\xC9"
                                                 "bano\t-'\xE9-ba-nu\r\n"));
        QVERIFY(!e.editor.Modified());
        QCOMPARE(e.editor.windowTitle(), QStringLiteral("Dicionário Fonético - ") + fileName);
        Editor other;
        QVERIFY(other.editor.LoadFile(fileName));
        QCOMPARE(other.Lines(), e.Lines());

        // UTF-8 from another editor, LF, an empty line, and notes after a
        // "*" line, where the engine stops reading: they stay last.
        WriteBytes(fileName, "\xC3\xA1gua\t-'a-gwa\n\ncasa\t-k'a-za\n* notas\nsemtab\n");
        QVERIFY(other.editor.LoadFile(fileName));
        QCOMPARE(other.Lines(), QStringList({"* notas", "água\t-'a-gwa", "casa\t-k'a-za", "semtab"}));
        QVERIFY(other.editor.SaveFile(fileName));
        QCOMPARE(ReadBytes(fileName),
                 QByteArray("casa\t-k'a-za\r\nsemtab\r\n\xE1gua\t-'a-gwa\r\n* notas\r\n"));
    }

    void saveAsAddsDicToANameWithoutAPointAndFailuresChangeNothing() {
        Editor e;
        TfrmDicionario& d = e.editor;
        e.Add(QStringLiteral("casa"), QStringLiteral("-k'a-za"));
        d.btnSalva->click();  // without a name it is save as; the dialog is cancelled
        QVERIFY(d.Modified() && d.FileName().isEmpty());
        e.fileToSave = Path("meu");
        d.btnSalva->click();
        QCOMPARE(d.FileName(), Path("meu.dic"));
        QCOMPARE(ReadBytes(Path("meu.dic")), QByteArray("casa\t-k'a-za\r\n"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("pasta.v2")));
        e.fileToSave = Path("pasta.v2/outro");  // a point in the folder is no extension
        d.Button1->click();
        QCOMPARE(d.FileName(), Path("pasta.v2/outro.dic"));
        e.fileToSave = Path("lista.txt");
        d.Button1->click();
        QCOMPARE(d.FileName(), Path("lista.txt"));
        QVERIFY(e.told.isEmpty());

        e.Add(QStringLiteral("bola"), QStringLiteral("-b'ó-la"));
        QVERIFY(!d.SaveFile(Path("sem-pasta/novo.dic")));
        QVERIFY(!d.LoadFile(Path("nao-existe.dic")));
        QCOMPARE(e.told.size(), 2);
        QVERIFY(
            e.told[0].startsWith("Falavoz: Não foi possível gravar o dicionário em\n" + Path("sem-pasta")));
        QVERIFY(
            e.told[1].startsWith("Falavoz: Não foi possível abrir o dicionário\n" + Path("nao-existe.dic")));
        QVERIFY(d.Modified());
        QCOMPARE(d.FileName(), Path("lista.txt"));
        QCOMPARE(e.Lines().size(), 2);
    }

    void showingAndClosingHandTheDictionaryToAndFromTheEngine() {
        WriteBytes(Path("lembrado.dic"), "casa\t-k'a-za\r\nsemtab\r\n");
        settings.Set(QStringLiteral("Opcoes/NomeArq.Caption"), Path("lembrado.dic"));
        Editor e;
        TfrmDicionario& d = e.editor;
        QStringList& calls = e.engine.recorder.calls;
        d.ShowEditor();
        QCOMPARE(calls.first(), QStringLiteral("Init"));
        QCOMPARE(calls.last(), QStringLiteral("DictUnload"));
        QCOMPARE(e.Lines(), QStringList({"casa\t-k'a-za", "semtab"}));
        QVERIFY(d.btnApagaTudo->isEnabled() && !d.Modified());
        QCOMPARE(d.focusWidget(), d.Edit1);

        e.Add(QStringLiteral("Wagner"), QStringLiteral("-v'a-gne%"));
        calls.clear();
        d.ShowEditor();  // asked again while open: the edits stay
        QCOMPARE(e.Lines().size(), 3);
        QVERIFY(calls.isEmpty());

        e.answers = {false};
        d.btnFechar->click();
        QCOMPARE(e.asked, QStringList({"Falavoz: " + kSaveQuestion}));
        QCOMPARE(calls, QStringList({"DictUnload", "DictAdd casa -k'a-za", "DictAdd Wagner -v'a-gne%"}));
        QVERIFY(!d.isVisible());
        QCOMPARE(ReadBytes(Path("lembrado.dic")), QByteArray("casa\t-k'a-za\r\nsemtab\r\n"));

        // Unchecked, the engine is left without a dictionary.
        d.ShowEditor();
        QCOMPARE(e.Lines().size(), 2);  // from the file again
        d.ckUtiliza->setChecked(false);
        calls.clear();
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(calls, QStringList({"DictUnload"}));
        QCOMPARE(e.asked.size(), 1);

        // A save asked for that did not happen keeps the window open.
        d.ShowEditor();
        e.Add(QStringLiteral("Wagner"), QStringLiteral("-v'a-gne%"));
        calls.clear();
        e.answers = {true};
        QFile::remove(Path("lembrado.dic"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("lembrado.dic")));  // a folder is in the way
        QVERIFY(!d.close());
        QVERIFY(d.isVisible() && calls.isEmpty() && d.Modified());
        QCOMPARE(e.told.size(), 1);
    }

    void newAndLoadOfferToSaveTheChanges() {
        WriteBytes(Path("outro.dic"), "bola\t-b'ó-la\r\n");
        Editor e;
        TfrmDicionario& d = e.editor;
        e.Add(QStringLiteral("casa"), QStringLiteral("-k'a-za"));
        e.answers = {false};
        d.btnNovo->click();
        QVERIFY(e.Lines().isEmpty() && d.FileName().isEmpty() && !d.Modified());
        QCOMPARE(d.windowTitle(), QStringLiteral("Dicionário Fonético"));

        e.Add(QStringLiteral("casa"), QStringLiteral("-k'a-za"));
        e.answers = {true};
        e.fileToSave = Path("primeiro");
        e.fileToOpen = Path("outro.dic");
        d.btnCarrega->click();
        QCOMPARE(ReadBytes(Path("primeiro.dic")), QByteArray("casa\t-k'a-za\r\n"));
        QCOMPARE(e.Lines(), QStringList({"bola\t-b'ó-la"}));
        QCOMPARE(d.FileName(), Path("outro.dic"));
        QVERIFY(!d.Modified() && !d.btnApaga->isEnabled() && d.btnApagaTudo->isEnabled());
        QCOMPARE(e.asked.size(), 2);
    }

    void theSettingsAreStoredOnClosingAndRestoredAtStart() {
        {
            Editor e;
            e.editor.ShowEditor();
            QVERIFY(e.editor.DictionaryInUse().isEmpty());  // an unnamed list
            WriteBytes(Path("aberto.dic"), "casa\t-k'a-za\r\n");
            e.fileToOpen = Path("aberto.dic");
            e.editor.btnCarrega->click();
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("salvos")));
            e.fileToSave = Path("salvos/meu");
            e.editor.Button1->click();
            e.editor.ckUtiliza->setChecked(false);
            e.editor.btnFechar->click();
        }
        QCOMPARE(settings.Value(QStringLiteral("Opcoes/NomeArq.Caption")), Path("salvos/meu.dic"));
        QCOMPARE(settings.Value(QStringLiteral("Opcoes/OpenDlg.InitialDir")), folder.path());
        QCOMPARE(settings.Value(QStringLiteral("Opcoes/SaveDlg.InitialDir")), Path("salvos"));
        QCOMPARE(settings.Value(QStringLiteral("Opcoes/ckUtiliza.State")), QStringLiteral("cbUnchecked"));
        Editor e;
        QCOMPARE(e.editor.FileName(), Path("salvos/meu.dic"));
        QVERIFY(e.editor.DictionaryInUse().isEmpty());
        e.editor.ckUtiliza->setChecked(true);
        QCOMPARE(e.editor.DictionaryInUse(), Path("salvos/meu.dic"));
    }

    void thePaletteHasEveryPhonemeAndAppendsItsSymbol() {
        Editor e;
        TfrmDicionario& d = e.editor;
        const QList<QAction*> top = d.MenuGrid->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->text(), QStringLiteral("FONEMAS"));
        QVERIFY(!top[0]->isEnabled());
        QCOMPARE(top[1]->text() + top[2]->text(), QStringLiteral("&Vogais&Consoantes"));
        const QList<QAction*> vowels = top[1]->menu()->actions();
        const QList<QAction*> consonants = top[2]->menu()->actions();
        QStringList captions;
        for (QAction* item : vowels + consonants) captions << item->text();
        QCOMPARE(captions,
                 QStringList({"a  - (l&ado)",   "ä - (b&anco)",  "@  - (maç&ã)",   "e  - (cab&elo)",
                              "é - (b&elo)",    "ë - (ad&endo)", "ï - (br&inco)",  "i  - (b&ico)",
                              "y  - (bale&ia)", "o  - (b&olo)",  "ó - (b&ola)",    "ö - (&onda)",
                              "u  - (b&uraco)", "ü - (m&undo)",  "w  - (a&ula)",   "b - (&braço)",
                              "k - (&cada)",    "d - (&dado)",   "g - (&grande)",  "p - (&pai)",
                              "t - (&taco)",    "f - (&faca)",   "v - (&vala)",    "j - (&jato)",
                              "s - (&sala)",    "S - (ca&sca)",  "x - (&xarada)",  "z - (a&sa)",
                              "m - (&mesmo)",   "n - (&nunca)",  "ñ - (gali&nha)", "l - (&lado)",
                              "h - (a&lho)",    "r - (ca&ra)",   "% - (a&rpa)",    "R - (to&rre)"}));
        d.Edit2->setText(QStringLiteral("-g'a-li"));
        consonants[15]->trigger();
        vowels[0]->trigger();
        QCOMPARE(d.Edit2->text(), QStringLiteral("-g'a-liña"));
        // Every symbol offered is one a transcription may hold.
        for (QAction* item : vowels + consonants) {
            d.Edit1->setText(QStringLiteral("x"));
            d.Edit2->clear();
            item->trigger();
            d.btnAdiciona->click();
        }
        QVERIFY2(e.told.isEmpty(), qPrintable(e.told.join('\n')));

        d.ShowEditor();
        d.Button2->click();
        QVERIFY(d.MenuGrid->isVisible());
        d.MenuGrid->hide();
        QTest::keyClick(d.Edit2, Qt::Key_F4);
        QVERIFY(d.MenuGrid->isVisible());
        d.MenuGrid->hide();
    }

    void theWordAndItsTranscriptionAreSpokenAndEveryControlIsNamed() {
        Editor e;
        TfrmDicionario& d = e.editor;
        d.Edit1->setText(QStringLiteral("linux"));
        d.Edit2->setText(QStringLiteral("-l'i-nuks"));
        d.btnFalar1->click();
        d.btnFalar2->click();
        QCOMPARE(e.engine.recorder.CallsOf(QStringLiteral("PlayText")),
                 QStringList({"PlayText linux", "PlayText \\*-l'i-nuks\\*"}));

        QCOMPARE(HelpContextOf(d.Edit2), 15);
        for (QWidget* control : d.findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus || control->isHidden()) continue;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(spoken && !spoken->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
        }
    }

    // The engine library itself, in a reader of its own.
    void theEngineReadsTheWordsAfterClosingAndFromTheFile() {
        const auto reading = [](const QString& text) {
            return QString::fromLatin1(RVCall(TextForEngine(text).c_str()));
        };
        const QString zizi = reading(QStringLiteral("\\*-z'i-zi\\*"));
        const QString zuzu = reading(QStringLiteral("\\*-z'u-zu\\*"));
        QVERIFY(!zizi.isEmpty() && zizi != zuzu);

        EditorOver<Linked> e;
        TfrmDicionario& d = e.editor;
        d.ShowEditor();
        QVERIFY(e.main.EngineReady());
        const QString byRules = reading(QStringLiteral("ábaco"));
        QVERIFY(byRules != zizi);
        for (const char* word : {"bola", "casa", "dado", "zebra"})
            e.Add(QLatin1String(word), QStringLiteral("-z'a"));
        e.Add(QStringLiteral("ábaco"), QStringLiteral("-z'i-zi"));
        e.Add(QStringLiteral("Ébano"), QStringLiteral("-z'u-zu"));
        QVERIFY(d.SaveFile(Path("real.dic")));
        QCOMPARE(reading(QStringLiteral("ábaco")), byRules);  // no dictionary while editing
        d.btnFechar->click();
        QVERIFY(e.told.isEmpty());
        QCOMPARE(reading(QStringLiteral("ábaco")), zizi);
        QCOMPARE(reading(QStringLiteral("Ébano")), zuzu);

        // At the next start the engine loads the file.
        QCOMPARE(TTS_DictLoad(QFile::encodeName(Path("real.dic")).constData()), int(FV_OK));
        QCOMPARE(reading(QStringLiteral("ábaco")), zizi);

        // The same lines in the order the list shows them: the engine's
        // bisection misses "ábaco".
        QByteArray shownOrder;
        for (const QString& line : e.Lines())
            shownOrder += QByteArray::fromStdString(TextForEngine(line)) + "\r\n";
        WriteBytes(Path("mostrada.dic"), shownOrder);
        QCOMPARE(TTS_DictLoad(QFile::encodeName(Path("mostrada.dic")).constData()), int(FV_OK));
        QCOMPARE(reading(QStringLiteral("ábaco")), byRules);
        TTS_DictUnload();
    }
};

QTEST_MAIN(DictionaryTest)
#include "dictionary_test.moc"
