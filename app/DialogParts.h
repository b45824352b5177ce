#pragma once

#include <QPoint>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;
class TRecordField;
class TSortedComboBox;

// The pick lists' entry that switches a filter off.
inline const std::string kWszystkie = "- Wszystkie -";

// What the catalogue's windows share: the guard around their handlers, the messages they show
// and the questions they ask, and the parts of the two record dialogs.
namespace DialogParts {

// Shows a message to the user; tests replace it to read the message.
extern std::function<void(QWidget*, const QString&)> ShowMessage;
// Asks the user a yes/no question; true for yes. Tests replace it to answer.
extern std::function<bool(QWidget*, const QString&)> AskUser;
// Asks for a file to write (Save) or to read, under a caption and a filter; empty when the
// user chose none. Tests replace it to answer.
extern std::function<QString(QWidget*, const QString& Caption, const QString& Filter, bool Save)>
    AskFileName;

// A record dialog's lines and buttons. Line 1 is the kind's pick list, every other line a
// field; each line stands LineStep below the one before, its label a little lower than its
// field, as the label's text sits in the field's.
struct TRecordDialogLayout
{
    QString Caption;
    int Width = 0;
    int Height = 0;
    std::vector<QString> Labels; // "Nazwa:", "Rodzaj:", ...
    int FirstTop = 0;
    int LabelDrop = 0;
    int FieldLeft = 0;
    int KindHeight = 0;
    bool KindTyped = false; // whether the kind may be typed, or only chosen
    QPoint Ok;
    QPoint Cancel;
};
// What BuildRecordDialog made: the labels, the fields (without the kind), the kind's list and
// the two buttons.
struct TRecordDialogParts
{
    std::vector<QLabel*> Labels;
    std::vector<TRecordField*> Fields;
    TSortedComboBox* Kind = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};
// Gives Dialog its caption, font, fixed size and lines, and binds the buttons to OnOk and
// OnCancel under the guard. Tab order: the first four lines, the two buttons, then any line
// after the fourth (the lent-to field comes after the buttons).
TRecordDialogParts BuildRecordDialog(QDialog& Dialog, const TRecordDialogLayout& Shape,
                                     std::function<void()> OnOk, std::function<void()> OnCancel);

// Places a dialog in the middle of the screen the main window is on.
void CentreOnScreen(QDialog& Dialog, const QWidget& Main);
// The fields' bytes, in order; none (after telling the user) if one cannot be stored.
std::optional<std::vector<std::string>> FieldsBytes(QWidget* Dialog,
                                                    std::initializer_list<TRecordField*> Fields);
// A dialog's kind list: the main window's kinds without "- Wszystkie -".
void FillKindList(TSortedComboBox& Kinds, const TSortedComboBox& MainKinds);

} // namespace DialogParts

// Runs a handler and shows any error that escapes it, as the application's error report does.
void RunGuarded(QWidget* Window, const std::function<void()>& Handler);
