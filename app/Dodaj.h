#pragma once

#include <QDialog>

#include <string>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class TMainForm;
class TRecordField;
class TSortedComboBox;

// Font and fixed frame shared by the catalogue's dialogs.
void SetUpDialog(QDialog& Dialog, const QString& Caption, int Width, int Height);
TRecordField* MakeField(QWidget* Parent, int Left, int Top);
// A label that names its field, for the keyboard and for screen readers.
QLabel* MakeLabel(QWidget* Parent, const QString& Caption, int Left, int Top, QWidget* Field);
// Places a dialog in the middle of the screen the main window is on.
void CentreOnScreen(QDialog& Dialog, const QWidget& Main);
// The fields' bytes, in order; empty (after telling the user) if one cannot be stored.
std::optional<std::vector<std::string>> FieldsBytes(QWidget* Dialog,
                                                    std::initializer_list<TRecordField*> Fields);
// A dialog's kind list: the main window's kinds without "- Wszystkie -".
void FillKindList(TSortedComboBox& Kinds, const TSortedComboBox& MainKinds);

// The Add dialog: stays open for several records; its fields carry over between openings.
class TDodajForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TDodajForm(TMainForm& Main, QWidget* Parent = nullptr);
    ~TDodajForm() override;

    // Fills the kind list from the main window's and shows the dialog modally.
    void Open(const TSortedComboBox& MainKinds);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    TRecordField* Edit1;
    TSortedComboBox* ComboBox1;
    TRecordField* Edit2;
    TRecordField* Edit3;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    // Escape ends the dialog as "Anuluj" does, so the records just added are shown.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    TMainForm& m_Main;
};

extern TDodajForm* DodajForm;
