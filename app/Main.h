#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QString>

#include "Catalogue.h"
#include "CatalogueFile.h"
#include "CatalogueSafety.h"
#include "CatalogueView.h"
#include "DialogParts.h"
#include "StatusBar.h"
#include "UndoSteps.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QVBoxLayout;
class TdfsExtListView;
class TListItem;
class TPickLists;
class TQamLVPrinter;
class TFindBar;
class TSortedComboBox;

// A push button with an integer tag, by which a handler tells its callers apart.
class TTagButton final : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    int Tag = 0;
};

// The catalogue's main window: the visible and the master list, the filters, the commands
// and the status bar.
class TMainForm final : public QMainWindow
{
    Q_OBJECT
public:
    // DataFile stands in for the default catalogue file (tests give their own).
    explicit TMainForm(const QString& DataFile = QString(), QWidget* Parent = nullptr);
    explicit TMainForm(const TCatalogueFile& File, QWidget* Parent = nullptr);
    ~TMainForm() override;

    // Handlers; Sender is the control whose event started them.
    void FormCreate(QObject* Sender);
    void FormCloseQuery(QObject* Sender, bool& CanClose);
    void Wyswietl(QObject* Sender);
    void OdswierzComboBoxy(QObject* Sender);
    void Timer1Timer(QObject* Sender);
    void DodajClick(QObject* Sender);
    void dfsList1DblClick(QObject* Sender);
    void UsunClick(QObject* Sender);
    void ZapiszClick(QObject* Sender);
    void Niezapisuj1Click(QObject* Sender);
    void Button1Click(QObject* Sender);
    void DrukujClick(QObject* Sender);
    // Ctrl+Z: takes back the last deletion or edit.
    void CofnijClick(QObject* Sender);
    // Ctrl+F: shows the find line, or clears and hides it.
    void SzukajClick(QObject* Sender);
    // Ctrl+C: the selected record to the clipboard, as a line of five fields and as a table.
    void KopiujClick(QObject* Sender);
    // The shown rows, in their order, to a CSV file; records from a CSV file into the
    // catalogue, after the user has seen what will come in.
    void EksportujClick(QObject* Sender);
    void ImportujClick(QObject* Sender);
    // The pages "Drukuj listę" prints, in a print preview, or written to a PDF file.
    void PodgladClick(QObject* Sender);
    void PdfClick(QObject* Sender);
    // The list's context menu at a point of its view (right click, Menu key, Shift+F10).
    void ShowListMenu(const QPoint& At);
    // The context menu while it is open (tests answer it), else none.
    QMenu* ListMenu() const { return m_ListMenu; }
    // The print preview while it is open (tests look at it), else none.
    QDialog* Preview() const { return m_Preview; }
    // The Edit dialog calls this before it overwrites a master row.
    void RememberForUndo(const TListItem& MasterRow);
    // Puts the master rows in name order, as after an addition or an edit; from then on a
    // record taken back is put in order too.
    void PutMasterInOrder();

    // The master row that a row of the visible list was copied from, if it still exists.
    TListItem* MasterRowOf(const TListItem* VisibleRow) const;
    void SetStatus(TStatusPanel Panel, const QString& Text);
    QString StatusText(TStatusPanel Panel) const;
    const QString& DataFile() const { return m_DataFile; }
    // Whether the user chose not to open a catalogue that another copy has open.
    bool Refused() const { return m_Refused; }

    // Shows a message to the user; tests replace it to read the message.
    static inline std::function<void(QWidget*, const QString&)>& ShowMessage =
        DialogParts::ShowMessage;
    // Asks the user a yes/no question; true for yes. Tests replace it to answer.
    static inline std::function<bool(QWidget*, const QString&)>& AskUser = DialogParts::AskUser;

    bool Zapisane = true;

    TdfsExtListView* dfsList1;
    TdfsExtListView* AllList;
    QWidget* Panel1;
    QCheckBox* Porz;
    QCheckBox* Nieporz;
    QLabel* Label1;
    TSortedComboBox* ComboBox1;
    QLabel* Label2;
    TSortedComboBox* ComboBox2;
    QPushButton* Dodaj;
    QPushButton* Usun;
    TTagButton* Zapisz;
    TFindBar* FindBar;
    QPushButton* Drukuj;
    QPushButton* Button1;
    TStatusBar* StatusBar1;
    QTimer* Timer1;
    QMenu* Popup;
    QAction* Zapiszzmiany1;
    QAction* Niezapisuj1;
    TQamLVPrinter* QamLVPrinter1;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    // The window is built in parts, top to bottom, then its handlers are bound.
    void BuildLists(QVBoxLayout& Layout);
    void BuildPanel(QVBoxLayout& Layout);
    void BuildFilters();
    void BuildButtons();
    void BuildStatusBar(QVBoxLayout& Layout);
    void BuildPopupAndTimer();
    void BuildPrinter();
    void BindHandlers();
    void BindFindAndMenu();
    // Narrows the shown rows to those that hold the text, or shows them anew.
    void ApplyFind(const QString& Text);
    // The filter the window shows, from its controls and the find line.
    TViewFilter CurrentFilter() const;
    void SetUpList(TdfsExtListView& List, int HoverTime);
    void SetUpKeys();
    // Tells the user that the data file could not be read whole, if so.
    void ReportLoad(const Catalogue::TLoadResult& Loaded);
    void RequestClose();
    // False when the user chose not to replace a file that was not read whole or that
    // another program has written since.
    bool MayReplaceDataFile();

    // The save button's tag, by which a save tells the button from the close menu's item.
    static constexpr int kSaveButtonTag = 666;

    QString m_DataFile;
    bool m_MakeFolder = false; // the data file's folder is made at the first save
    TCatalogueSafety m_Safety;
    bool m_Refused = false;
    QMenu* m_ListMenu = nullptr;  // the list's context menu while it is open
    QDialog* m_Preview = nullptr; // the print preview while it is open
    std::unique_ptr<TUndoSteps> m_Undo;
    std::unique_ptr<TPickLists> m_PickLists;
    std::unique_ptr<TCatalogueView> m_View;
    // The filters of the shown list, as of its last rebuild or narrowing, and the shown list's
    // change count then.
    TViewFilter m_Filter;
    std::uint64_t m_FilteredAt = 0;
    // The data file as loaded or last saved, and whether its content is all in the catalogue.
    Catalogue::TFileStamp m_Stamp;
    bool m_FileUnread = false;
    bool m_InCloseQuery = false;
    // The master rows stand in name order (an addition or edit put them so), not in the order
    // the file gave them.
    bool m_MasterInOrder = false;
    bool m_CloseRequested = false;
};

extern TMainForm* MainForm;
