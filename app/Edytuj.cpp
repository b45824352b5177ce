#include "Edytuj.h"

#include "DialogParts.h"
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
    const DialogParts::TRecordDialogLayout layout{
        .Caption = QStringLiteral("Edytuj"),
        .Width = 324,
        .Height = 172,
        .Labels = {QStringLiteral("Nazwa:"), QStringLiteral("Rodzaj:"), QStringLiteral("Ilość CD:"),
                   QStringLiteral("Półka:"), QStringLiteral("Pożyczone:")},
        .FirstTop = 8,
        .LabelDrop = 3,
        .FieldLeft = 112,
        .KindHeight = 22,
        .KindTyped = false,
        .Ok = {111, 136},
        .Cancel = {224, 136}};
    const DialogParts::TRecordDialogParts parts = DialogParts::BuildRecordDialog(
        *this, layout, [this] { Button1Click(Button1); }, [this] { Button2Click(Button2); });
    Label1 = parts.Labels[0];
    Label2 = parts.Labels[1];
    Label3 = parts.Labels[2];
    Label4 = parts.Labels[3];
    Label5 = parts.Labels[4];
    Edit1 = parts.Fields[0];
    ComboBox1 = parts.Kind;
    Edit2 = parts.Fields[1];
    Edit3 = parts.Fields[2];
    Edit4 = parts.Fields[3];
    Button1 = parts.Ok;
    Button2 = parts.Cancel;
}

TEdytujForm::~TEdytujForm()
{
    if (EdytujForm == this)
        EdytujForm = nullptr;
}

void TEdytujForm::Open(const TSortedComboBox& MainKinds, TListItem& Row)
{
    DialogParts::FillKindList(*ComboBox1, MainKinds);
    m_Row = &Row;
    const TRowText& text = Row.Texts();
    Edit1->SetBytes(text.Caption());
    ComboBox1->SetItemIndex(ComboBox1->FindIgnoreCase(text.Field(Catalogue::fdKind)));
    Edit2->SetBytes(text.Field(Catalogue::fdDiscs));
    Edit3->SetBytes(text.Field(Catalogue::fdShelf));
    Edit4->SetBytes(text.Field(Catalogue::fdLentTo));
    Edit1->setFocus();
    DialogParts::CentreOnScreen(*this, m_Main);
    exec();
    m_Row = nullptr;
}

void TEdytujForm::Button1Click(QObject*)
{
    // The master row this visible row was copied from, not merely the first of its name.
    TListItem* master = m_Row ? m_Main.MasterRowOf(m_Row) : nullptr;
    if (master) {
        const auto fields = DialogParts::FieldsBytes(this, {Edit1, Edit2, Edit3, Edit4});
        if (!fields)
            return;
        const std::string kind = ComboBox1->ItemIndex() >= 0 ? ComboBox1->Text() : std::string();
        const auto& f = *fields;
        m_Main.RememberForUndo(*master);
        master->SetTexts(TRowText::FromFields({f[0], kind, f[1], f[2], f[3]}));
        m_Main.PutMasterInOrder();
        m_Main.Wyswietl(this);
        m_Main.Zapisane = false;
    }
    done(QDialog::Accepted);
}

void TEdytujForm::Button2Click(QObject*)
{
    done(QDialog::Rejected);
}
