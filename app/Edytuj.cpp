#include "Edytuj.h"

#include "Cp1250.h"
#include "Dodaj.h"
#include "ExtListView.h"
#include "Main.h"
#include "RecordField.h"
#include "SortedComboBox.h"

#include <QLabel>
#include <QPushButton>

TEdytujForm* EdytujForm = nullptr;

TEdytujForm::TEdytujForm(TMainForm& Main, QWidget* Parent) : QDialog(Parent), m_Main(Main)
{
    EdytujForm = this;
    SetUpDialog(*this, QStringLiteral("Edytuj"), 324, 172);
    Edit1 = MakeField(this, 112, 8);
    ComboBox1 = new TSortedComboBox(TSortedComboBox::csDropDownList, this);
    ComboBox1->setGeometry(112, 32, 200, 22);
    ComboBox1->setMaxVisibleItems(16);
    Edit2 = MakeField(this, 112, 56);
    Edit3 = MakeField(this, 112, 80);
    Edit4 = MakeField(this, 112, 104);
    Label1 = MakeLabel(this, QStringLiteral("Nazwa:"), 8, 11, Edit1);
    Label2 = MakeLabel(this, QStringLiteral("Rodzaj:"), 8, 35, ComboBox1);
    Label3 = MakeLabel(this, QStringLiteral("Ilość CD:"), 8, 59, Edit2);
    Label4 = MakeLabel(this, QStringLiteral("Półka:"), 8, 83, Edit3);
    Label5 = MakeLabel(this, QStringLiteral("Pożyczone:"), 8, 107, Edit4);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(111, 136, 90, 25);
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);
    Button2->setGeometry(224, 136, 90, 25);
    // The lent-to field comes after the two buttons.
    setTabOrder(Edit1, ComboBox1);
    setTabOrder(ComboBox1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Edit4);
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button1Click(Button1); }); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button2Click(Button2); }); });
}

TEdytujForm::~TEdytujForm()
{
    if (EdytujForm == this)
        EdytujForm = nullptr;
}

void TEdytujForm::Open(const TSortedComboBox& MainKinds, TListItem& Row)
{
    FillKindList(*ComboBox1, MainKinds);
    m_Row = &Row;
    const TRowText& text = Row.Texts();
    Edit1->SetBytes(text.Caption());
    ComboBox1->SetItemIndex(ComboBox1->FindIgnoreCase(text.Field(Catalogue::fdKind)));
    Edit2->SetBytes(text.Field(Catalogue::fdDiscs));
    Edit3->SetBytes(text.Field(Catalogue::fdShelf));
    Edit4->SetBytes(text.Field(Catalogue::fdLentTo));
    Edit1->setFocus();
    CentreOnScreen(*this, m_Main);
    exec();
    m_Row = nullptr;
}

void TEdytujForm::Button1Click(QObject*)
{
    // The master row this visible row was copied from, not merely the first of its name.
    TListItem* master = m_Row ? m_Main.MasterRowOf(m_Row) : nullptr;
    if (master) {
        const auto fields = FieldsBytes(this, {Edit1, Edit2, Edit3, Edit4});
        if (!fields)
            return;
        const std::string kind = ComboBox1->ItemIndex() >= 0 ? ComboBox1->Text() : std::string();
        const auto& f = *fields;
        m_Main.RememberForUndo(*master);
        master->SetTexts(TRowText::FromFields({f[0], kind, f[1], f[2], f[3]}));
        m_Main.AllList->ResortItems();
        m_Main.Wyswietl(this);
        m_Main.Zapisane = false;
    }
    done(QDialog::Accepted);
}

void TEdytujForm::Button2Click(QObject*)
{
    done(QDialog::Rejected);
}
