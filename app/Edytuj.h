#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TListItem;
class TMainForm;
class TRecordField;
class TSortedComboBox;

// The Edit dialog: changes one record (lending and returning included) and closes.
class TEdytujForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TEdytujForm(TMainForm& Main, QWidget* Parent = nullptr);
    ~TEdytujForm() override;

    // Fills the fields from a row of the visible list and shows the dialog modally.
    void Open(const TSortedComboBox& MainKinds, TListItem& Row);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    TRecordField* Edit1;
    TSortedComboBox* ComboBox1;
    TRecordField* Edit2;
    TRecordField* Edit3;
    TRecordField* Edit4;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    TMainForm& m_Main;
    TListItem* m_Row = nullptr;
};

extern TEdytujForm* EdytujForm;
