#include "Dodaj.h"

#include "DialogParts.h"
#include "ExtListView.h"
#include "Main.h"
#include "RecordField.h"
#include "SortedComboBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TDodajForm* DodajForm = nullptr;

TDodajForm::TDodajForm(TMainForm& Main, QWidget* Parent) : QDialog(Parent), m_Main(Main)
{
    DodajForm = this;
    const DialogParts::TRecordDialogLayout layout{
        .Caption = QStringLiteral("Dodaj CD"),
        .Width = 300,
        .Height = 166,
        .Labels = {QStringLiteral("Nazwa:"), QStringLiteral("Rodzaj:"), QStringLiteral("Ilość CD:"),
                   QStringLiteral("Półka:")},
        .FirstTop = 24,
        .LabelDrop = 4,
        .FieldLeft = 88,
        .KindHeight = 21,
        .KindTyped = true, // a new record may bring a new kind
        .Ok = {88, 128},
        .Cancel = {200, 128}};
    const DialogParts::TRecordDialogParts parts = DialogParts::BuildRecordDialog(
        *this, layout, [this] { Button1Click(Button1); }, [this] { Button2Click(Button2); });
    Label1 = parts.Labels[0];
    Label2 = parts.Labels[1];
    Label3 = parts.Labels[2];
    Label4 = parts.Labels[3];
    Edit1 = parts.Fields[0];
    ComboBox1 = parts.Kind;
    Edit2 = parts.Fields[1];
    Edit3 = parts.Fields[2];
    Button1 = parts.Ok;
    Button2 = parts.Cancel;
}

TDodajForm::~TDodajForm()
{
    if (DodajForm == this)
        DodajForm = nullptr;
}

void TDodajForm::Open(const TSortedComboBox& MainKinds)
{
    DialogParts::FillKindList(*ComboBox1, MainKinds);
    ComboBox1->SetItemIndex(MainKinds.ItemIndex() - 1);
    Edit1->setFocus();
    DialogParts::CentreOnScreen(*this, m_Main);
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
    const auto fields = DialogParts::FieldsBytes(this, {Edit1, Edit2, Edit3});
    if (!fields)
        return;
    m_Main.Zapisane = false;
    const std::string kind = ComboBox1->Text();
    const auto& f = *fields;
    m_Main.AllList->Items().Add(TRowText::FromFields({f[0], kind, f[1], f[2], ""}));
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit1->setFocus();
}

void TDodajForm::Button2Click(QObject*)
{
    done(QDialog::Rejected);
    m_Main.PutMasterInOrder();
    m_Main.Wyswietl(this);
}
