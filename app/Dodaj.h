#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;
class TSortedComboBox;

// Font and fixed frame shared by the catalogue's dialogs; fields refuse what the file cannot hold.
void SetUpDialog(QDialog& Dialog, const QString& Caption, int Width, int Height);
QLineEdit* MakeField(QWidget* Parent, int Left, int Top);
QLabel* MakeLabel(QWidget* Parent, const QString& Caption, int Left, int Top);
// A field's text as Windows-1250 bytes.
std::string FieldBytes(const QLineEdit* Edit);
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
    QLineEdit* Edit1;
    TSortedComboBox* ComboBox1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    TMainForm& m_Main;
};

extern TDodajForm* DodajForm;
