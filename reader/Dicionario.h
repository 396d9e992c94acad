// The phonetic dictionary editor: the user's list of words with the
// transcription the engine must read them by, kept in a dictionary file of
// the engine's format. While the window is open the engine speaks without
// the dictionary; when it closes the engine gets the list, and at the next
// start of the reader the engine loads the file.
#pragma once

#include <QCollator>
#include <QDialog>
#include <QStringList>
#include <functional>

#include "Widgets.h"

class Falavoz;
class TfrmMain;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

class TfrmDicionario : public QDialog {
    Q_OBJECT
public:
    // The most lines the editor adds to a list.
    static constexpr int kMaxEntries = 5000;

    TfrmDicionario(Falavoz& engine, TfrmMain& main, QWidget* parent = nullptr);

    // Starts the engine if need be, reloads the remembered file, takes the
    // dictionary away from the engine and shows the window in front.
    void ShowEditor();
    // The file the engine loads at start: the remembered file when
    // "Utilizar Dicionário Atual" is checked, else empty.
    QString DictionaryInUse() const;

    // Reads a dictionary file into the list and makes it the current file.
    // False, with the reason told, when it cannot be read; the list is then
    // left as it was.
    bool LoadFile(const QString& fileName);
    // Writes the list to a file in the engine's format and makes it the
    // current file. False, with the reason told, when it could not be
    // written; an old file of that name is then left as it was.
    bool SaveFile(const QString& fileName);

    // Index of the first line whose word is exactly word, or -1.
    int Find(const QString& word) const;
    bool Modified() const { return modified_; }
    QString FileName() const;

    // A Yes/No question (No the default); true for Yes.
    AskHook Ask;
    // An error message.
    TellHook Tell;
    // The file dialogs; an empty name when the user cancelled.
    std::function<QString()> ChooseFileToOpen;
    std::function<QString()> ChooseFileToSave;

    QListWidget* Lista;
    QLineEdit* Edit1;      // the word
    QLineEdit* Edit2;      // its transcription
    QPushButton* Button2;  // the phoneme palette
    QPushButton* btnAdiciona;
    QPushButton* btnApaga;
    QPushButton* btnApagaTudo;
    QPushButton* btnNovo;
    QPushButton* btnCarrega;
    QPushButton* btnSalva;
    QPushButton* Button1;  // save as
    QPushButton* btnFalar1;
    QPushButton* btnFalar2;
    QCheckBox* ckUtiliza;
    QLabel* NomeArq;  // hidden: the current file, empty for an unnamed list
    QPushButton* btnFechar;
    QMenu* MenuGrid;

public slots:
    // Fechar, Esc and the window's close button.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildPalette();
    void ConnectControls();
    void RestoreSettings();
    void SaveSettings();

    void AddEntry();
    void DeleteSelected();
    void DeleteAll();
    void NewFile();
    void OpenFile();
    // Save and save as; true when the list was written.
    bool Save();
    bool SaveAs();
    // The question about unsaved changes; false when the user asked to save
    // and the list was not saved, so that what was asked for stops.
    bool OfferToSave();
    void ShowPalette();
    // A file dialog over the dictionary files; empty when cancelled.
    QString ChooseFile(const QString& title, const QString& folder, bool toOpen);
    void AppendSymbol(const QString& caption);
    void ListSelectionChanged();
    void UpdateAddButton();

    void FillList(QStringList lines);
    void SetFileName(const QString& fileName);
    void ClearFields();
    // Where a line goes in the list's order.
    int InsertionRow(const QString& line) const;
    bool DisplayLess(const QString& a, const QString& b) const;

    Falavoz& engine_;
    TfrmMain& main_;
    QCollator collator_;
    bool modified_ = false;
    QString openDir_;
    QString saveDir_;
};
