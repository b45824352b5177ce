#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QString>

#include "Catalogue.h"
#include "UndoSteps.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class TdfsExtListView;
class TListItem;
class TPickLists;
class TQamLVPrinter;
class TSortedComboBox;

// A push button with an integer tag, by which a handler tells its callers apart.
class TTagButton final : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    int Tag = 0;
};

// The status bar's panels, left to right.
enum TStatusPanel
{
    spClock,
    spItems,
    spDiscs,
    spActivity
};

// The catalogue's main window: the visible and the master list, the filters, the commands
// and the status bar.
class TMainForm final : public QMainWindow
{
    Q_OBJECT
public:
    // DataFile stands in for the file beside the executable (tests give their own).
    explicit TMainForm(const QString& DataFile = QString(), QWidget* Parent = nullptr);
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
    // The Edit dialog calls this before it overwrites a master row.
    void RememberForUndo(const TListItem& MasterRow);

    // The master row that a row of the visible list was copied from, if it still exists.
    TListItem* MasterRowOf(const TListItem* VisibleRow) const;
    void SetStatus(TStatusPanel Panel, const QString& Text);
    QString StatusText(TStatusPanel Panel) const;
    const QString& DataFile() const { return m_DataFile; }

    // Shows a message to the user; tests replace it to read the message.
    static std::function<void(QWidget*, const QString&)> ShowMessage;
    // Asks the user a yes/no question; true for yes. Tests replace it to answer.
    static std::function<bool(QWidget*, const QString&)> AskUser;

    bool Zapisane = true;
    std::string KindFilter;
    std::string ShelfFilter;
    TListItem* LastAdded = nullptr;

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
    QPushButton* Drukuj;
    QPushButton* Button1;
    QWidget* StatusBar1;
    std::array<QLabel*, 4> StatusPanels{};
    QTimer* Timer1;
    QMenu* Popup;
    QAction* Zapiszzmiany1;
    QAction* Niezapisuj1;
    TQamLVPrinter* QamLVPrinter1;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void SetUpList(TdfsExtListView& List, int HoverTime);
    void SetUpKeys();
    void RequestClose();
    // False when the user chose not to replace a file that was not read whole or that
    // another program has written since.
    bool MayReplaceDataFile();

    QString m_DataFile;
    std::unique_ptr<TUndoSteps> m_Undo;
    std::unique_ptr<TPickLists> m_PickLists;
    // The disc count of the shown rows, as of the shown list's change count.
    struct TShownDiscs
    {
        std::uint64_t Changes = 0;
        std::int64_t Discs = 0;
    };
    std::optional<TShownDiscs> m_ShownDiscs;
    // The data file as loaded or last saved, and whether its content is all in the catalogue.
    Catalogue::TFileStamp m_Stamp;
    bool m_FileUnread = false;
    bool m_InCloseQuery = false;
    bool m_CloseRequested = false;
};

extern TMainForm* MainForm;

// The pick lists' entry that switches a filter off.
inline const std::string kWszystkie = "- Wszystkie -";

// Runs a handler and shows any error that escapes it, as the application's error report does.
void RunGuarded(QWidget* Window, const std::function<void()>& Handler);
