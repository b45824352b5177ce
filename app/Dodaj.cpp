#include "Dodaj.h"

#include "Cp1250.h"
#include "ExtListView.h"
#include "Fonts.h"
#include "Main.h"
#include "SortedComboBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TDodajForm* DodajForm = nullptr;

std::string FieldBytes(const QLineEdit* Edit)
{
    // The validator lets only storable text in, so the conversion cannot fail.
    return Cp1250::FromUnicode(Edit->text()).value_or(std::string());
}

void FillKindList(TSortedComboBox& Kinds, const TSortedComboBox& MainKinds)
{
    Kinds.AssignEntries(MainKinds);
    const int all = Kinds.FindIgnoreCase(kWszystkie);
    if (all >= 0)
        Kinds.Delete(all);
}

void SetUpDialog(QDialog& Dialog, const QString& Caption, int Width, int Height)
{
    Dialog.setWindowTitle(Caption);
    Dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    Dialog.setFont(FormFont(11));
    Dialog.setFixedSize(Width, Height);
    Dialog.setModal(true);
}

QLineEdit* MakeField(QWidget* Parent, int Left, int Top)
{
    auto* edit = new QLineEdit(Parent);
    edit->setGeometry(Left, Top, 200, 21);
    edit->setValidator(new TCp1250Validator(edit));
    return edit;
}

QLabel* MakeLabel(QWidget* Parent, const QString& Caption, int Left, int Top)
{
    auto* label = new QLabel(Caption, Parent);
    label->setFont(FormFont(12));
    label->move(Left, Top);
    label->adjustSize();
    return label;
}

TDodajForm::TDodajForm(TMainForm& Main, QWidget* Parent) : QDialog(Parent), m_Main(Main)
{
    DodajForm = this;
    SetUpDialog(*this, QStringLiteral("Dodaj CD"), 300, 166);
    Label1 = MakeLabel(this, QStringLiteral("Nazwa:"), 8, 28);
    Label2 = MakeLabel(this, QStringLiteral("Rodzaj:"), 8, 52);
    Label3 = MakeLabel(this, QStringLiteral("Ilość CD:"), 8, 76);
    Label4 = MakeLabel(this, QStringLiteral("Półka:"), 8, 100);
    Edit1 = MakeField(this, 88, 24);
    ComboBox1 = new TSortedComboBox(TSortedComboBox::csDropDown, this);
    ComboBox1->setGeometry(88, 48, 200, 21);
    Edit2 = MakeField(this, 88, 72);
    Edit3 = MakeField(this, 88, 96);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(88, 128, 90, 25);
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);
    Button2->setGeometry(200, 128, 90, 25);
    setTabOrder(Edit1, ComboBox1);
    setTabOrder(ComboBox1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Button2);
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button1Click(Button1); }); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button2Click(Button2); }); });
}

TDodajForm::~TDodajForm()
{
    if (DodajForm == this)
        DodajForm = nullptr;
}

void TDodajForm::Open(const TSortedComboBox& MainKinds)
{
    FillKindList(*ComboBox1, MainKinds);
    ComboBox1->SetItemIndex(MainKinds.ItemIndex() - 1);
    Edit1->setFocus();
    exec();
}

void TDodajForm::Button1Click(QObject*)
{
    m_Main.Zapisane = false;
    m_Main.LastAdded = m_Main.AllList->Items().Add();
    const std::string name = FieldBytes(Edit1);
    const std::string kind = ComboBox1->Text();
    const std::string discs = FieldBytes(Edit2);
    const std::string shelf = FieldBytes(Edit3);
    m_Main.LastAdded->SetTexts(TRowText::FromFields({name, kind, discs, shelf, ""}));
    m_Main.LastAdded = nullptr;
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit1->setFocus();
}

void TDodajForm::Button2Click(QObject*)
{
    done(QDialog::Rejected);
    m_Main.AllList->ResortItems();
    m_Main.Wyswietl(this);
}
