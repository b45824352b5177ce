#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TMainForm;
class TRecordField;
class TSortedComboBox;

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
