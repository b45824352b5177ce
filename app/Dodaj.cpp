#include "Dodaj.h"

#include "Cp1250.h"
#include "ExtListView.h"
#include "Fonts.h"
#include "Main.h"
#include "RecordField.h"
#include "SortedComboBox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TDodajForm* DodajForm = nullptr;

std::optional<std::vector<std::string>> FieldsBytes(QWidget* Dialog,
                                                    std::initializer_list<TRecordField*> Fields)
{
    std::vector<std::string> bytes;
    for (TRecordField* field : Fields) {
        std::optional<std::string> b = field->Bytes();
        if (!b) {
            // Never store a field emptied or cut: the user decides what to change.
            TMainForm::ShowMessage(Dialog, QStringLiteral("Pole „%1” zawiera znak, którego nie "
                                                          "można zapisać w pliku Dyskar.dat.")
                                               .arg(field->accessibleName()));
            field->setFocus();
            return std::nullopt;
        }
        bytes.push_back(std::move(*b));
    }
    return bytes;
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

void CentreOnScreen(QDialog& Dialog, const QWidget& Main)
{
    const QScreen* screen = Main.screen() ? Main.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Moving it ourselves also keeps the toolkit from centring it on the main window.
    Dialog.move(screen->availableGeometry().center() - Dialog.rect().center());
}

TRecordField* MakeField(QWidget* Parent, int Left, int Top)
{
    auto* edit = new TRecordField(Parent);
    edit->setGeometry(Left, Top, 200, 21);
    return edit;
}

QLabel* MakeLabel(QWidget* Parent, const QString& Caption, int Left, int Top, QWidget* Field)
{
    auto* label = new QLabel(Caption, Parent);
    label->setFont(FormFont(12));
    label->move(Left, Top);
    label->adjustSize();
    label->setBuddy(Field);
    QString name = Caption;
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    Field->setAccessibleName(name);
    return label;
}

TDodajForm::TDodajForm(TMainForm& Main, QWidget* Parent) : QDialog(Parent), m_Main(Main)
{
    DodajForm = this;
    SetUpDialog(*this, QStringLiteral("Dodaj CD"), 300, 166);
    Edit1 = MakeField(this, 88, 24);
    ComboBox1 = new TSortedComboBox(TSortedComboBox::csDropDown, this);
    ComboBox1->setGeometry(88, 48, 200, 21);
    ComboBox1->setMaxVisibleItems(16);
    Edit2 = MakeField(this, 88, 72);
    Edit3 = MakeField(this, 88, 96);
    Label1 = MakeLabel(this, QStringLiteral("Nazwa:"), 8, 28, Edit1);
    Label2 = MakeLabel(this, QStringLiteral("Rodzaj:"), 8, 52, ComboBox1);
    Label3 = MakeLabel(this, QStringLiteral("Ilość CD:"), 8, 76, Edit2);
    Label4 = MakeLabel(this, QStringLiteral("Półka:"), 8, 100, Edit3);
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
    CentreOnScreen(*this, m_Main);
    exec();
}

void TDodajForm::keyPressEvent(QKeyEvent* Event)
{
    if (Event->matches(QKeySequence::Cancel)) {
        RunGuarded(this, [this] { Button2Click(Button2); });
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TDodajForm::Button1Click(QObject*)
{
    const auto fields = FieldsBytes(this, {Edit1, Edit2, Edit3});
    if (!fields)
        return;
    m_Main.Zapisane = false;
    m_Main.LastAdded = m_Main.AllList->Items().Add();
    const std::string kind = ComboBox1->Text();
    const auto& f = *fields;
    m_Main.LastAdded->SetTexts(TRowText::FromFields({f[0], kind, f[1], f[2], ""}));
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
