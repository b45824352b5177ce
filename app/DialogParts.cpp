#include "DialogParts.h"

#include "Fonts.h"
#include "RecordField.h"
#include "SortedComboBox.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace DialogParts {

std::function<void(QWidget*, const QString&)> ShowMessage = [](QWidget* Parent,
                                                               const QString& Text) {
    QMessageBox::critical(Parent, QStringLiteral("Dyskar"), Text);
};

std::function<bool(QWidget*, const QString&)> AskUser = [](QWidget* Parent, const QString& Text) {
    return QMessageBox::question(Parent, QStringLiteral("Dyskar"), Text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
};

std::function<QString(QWidget*, const QString&, const QString&, bool)> AskFileName =
    [](QWidget* Parent, const QString& Caption, const QString& Filter, bool Save) {
        return Save ? QFileDialog::getSaveFileName(Parent, Caption, QDir::homePath(), Filter)
                    : QFileDialog::getOpenFileName(Parent, Caption, QDir::homePath(), Filter);
    };

namespace {

// A label that names its field, for the keyboard and for screen readers.
QLabel* MakeLabel(QWidget* Parent, const QString& Caption, QPoint At, QWidget* Field)
{
    auto* label = new QLabel(Caption, Parent);
    label->setFont(FormFont(12));
    label->move(At);
    label->adjustSize();
    label->setBuddy(Field);
    QString name = Caption;
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    Field->setAccessibleName(name);
    return label;
}

void SetUpDialog(QDialog& Dialog, const TRecordDialogLayout& Shape)
{
    Dialog.setWindowTitle(Shape.Caption);
    Dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    Dialog.setFont(FormFont(11));
    Dialog.setFixedSize(Shape.Width, Shape.Height);
    Dialog.setModal(true);
}

} // namespace

TRecordDialogParts BuildRecordDialog(QDialog& Dialog, const TRecordDialogLayout& Shape,
                                     std::function<void()> OnOk, std::function<void()> OnCancel)
{
    constexpr int kKindLine = 1;
    constexpr int kLineStep = 24;
    constexpr int kFieldWidth = 200;
    constexpr std::size_t kLinesBeforeButtons = 4;
    SetUpDialog(Dialog, Shape);
    TRecordDialogParts parts;
    std::vector<QWidget*> lines;
    for (std::size_t i = 0; i < Shape.Labels.size(); ++i) {
        const int top = Shape.FirstTop + int(i) * kLineStep;
        QWidget* field = nullptr;
        if (int(i) == kKindLine) {
            parts.Kind = new TSortedComboBox(Shape.KindTyped ? TSortedComboBox::csDropDown
                                                             : TSortedComboBox::csDropDownList,
                                             &Dialog);
            parts.Kind->setGeometry(Shape.FieldLeft, top, kFieldWidth, Shape.KindHeight);
            parts.Kind->setMaxVisibleItems(16);
            field = parts.Kind;
        } else {
            auto* edit = new TRecordField(&Dialog);
            edit->setGeometry(Shape.FieldLeft, top, kFieldWidth, 21);
            parts.Fields.push_back(edit);
            field = edit;
        }
        lines.push_back(field);
    }
    for (std::size_t i = 0; i < Shape.Labels.size(); ++i)
        parts.Labels.push_back(MakeLabel(&Dialog, Shape.Labels[i],
                                         {8, Shape.FirstTop + int(i) * kLineStep + Shape.LabelDrop},
                                         lines[i]));
    parts.Ok = new QPushButton(QStringLiteral("OK"), &Dialog);
    parts.Ok->setGeometry(QRect(Shape.Ok, QSize(90, 25)));
    parts.Cancel = new QPushButton(QStringLiteral("Anuluj"), &Dialog);
    parts.Cancel->setGeometry(QRect(Shape.Cancel, QSize(90, 25)));
    std::vector<QWidget*> order(
        lines.begin(), lines.begin() + std::ptrdiff_t(std::min(kLinesBeforeButtons, lines.size())));
    order.push_back(parts.Ok);
    order.push_back(parts.Cancel);
    for (std::size_t i = kLinesBeforeButtons; i < lines.size(); ++i)
        order.push_back(lines[i]);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    QObject::connect(parts.Ok, &QPushButton::clicked, &Dialog,
                     [&Dialog, OnOk] { RunGuarded(&Dialog, OnOk); });
    QObject::connect(parts.Cancel, &QPushButton::clicked, &Dialog,
                     [&Dialog, OnCancel] { RunGuarded(&Dialog, OnCancel); });
    return parts;
}

void CentreOnScreen(QDialog& Dialog, const QWidget& Main)
{
    const QScreen* screen = Main.screen() ? Main.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Moving it ourselves also keeps the toolkit from centring it on the main window.
    Dialog.move(screen->availableGeometry().center() - Dialog.rect().center());
}

std::optional<std::vector<std::string>> FieldsBytes(QWidget* Dialog,
                                                    std::initializer_list<TRecordField*> Fields)
{
    std::vector<std::string> bytes;
    for (TRecordField* field : Fields) {
        std::optional<std::string> b = field->Bytes();
        if (!b) {
            // Never store a field emptied or cut: the user decides what to change.
            ShowMessage(Dialog, QStringLiteral("Pole „%1” zawiera znak, którego nie "
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

} // namespace DialogParts

void RunGuarded(QWidget* Window, const std::function<void()>& Handler)
{
    try {
        Handler();
    } catch (const std::exception& e) {
        DialogParts::ShowMessage(Window, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        DialogParts::ShowMessage(Window, QStringLiteral("Nieznany błąd"));
    }
}
