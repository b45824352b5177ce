// Record fields: whatever path text takes into a field, the field never lets in what the data
// file cannot hold, never cuts, and gives back a record's bytes untouched when left alone.
#include "Cp1250.h"
#include "RecordField.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QtTest>

namespace {

enum TPath
{
    Untouched,
    TypedAtEnd,
    Pasted,
    Dropped,
    FromInputMethod
};

// Puts Text into the field the way a user would along Path, at the end of the field.
void Enter(TRecordField& Field, TPath Path, const QString& Text)
{
    Field.setFocus();
    Field.end(false);
    switch (Path) {
    case Untouched:
        break;
    case TypedAtEnd:
        // One key event per character, as a keyboard layout with that letter sends.
        for (const QChar c : Text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&Field, &press);
        }
        break;
    case Pasted:
        QApplication::clipboard()->setText(Text);
        Field.paste();
        break;
    case Dropped: {
        QMimeData data;
        data.setText(Text);
        const QPointF at(Field.width() - 2, Field.height() / 2);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&Field, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&Field, &drop);
        break;
    }
    case FromInputMethod: {
        QInputMethodEvent commit;
        commit.setCommitString(Text);
        QApplication::sendEvent(&Field, &commit);
        break;
    }
    }
}

} // namespace

class TestRecordField : public QObject
{
    Q_OBJECT
private slots:
    void Field_keepsWhatTheFileCanHoldAndNothingElse_data()
    {
        QTest::addColumn<QByteArray>("filled");
        QTest::addColumn<int>("path");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray lf = "Jan\nKowalski";
        const QByteArray nul = QByteArray("A\0B", 3);
        const QByteArray tab = "x\ty";
        const QByteArray longName(40000, 'n');
        QByteArray everyByte;
        for (int b = 1; b < 256; ++b)
            everyByte += char(b);
        const QString cyrillic = QString::fromUtf8("Ж");

        QTest::newRow("LF kept when untouched") << lf << int(Untouched) << "" << lf;
        QTest::newRow("NUL kept when untouched") << nul << int(Untouched) << "" << nul;
        QTest::newRow("TAB kept when untouched") << tab << int(Untouched) << "" << tab;
        QTest::newRow("every byte kept when untouched")
            << everyByte << int(Untouched) << "" << everyByte;
        QTest::newRow("40 000 characters kept whole")
            << longName << int(Untouched) << "" << longName;
        QTest::newRow("40 000 characters, one typed")
            << longName << int(TypedAtEnd) << "x" << longName + "x";

        // A field that holds an LF from its record still takes ordinary typing...
        QTest::newRow("LF field, typed") << lf << int(TypedAtEnd) << "!" << lf + "!";
        QTest::newRow("NUL field, pasted") << nul << int(Pasted) << "cd" << nul + "cd";
        QTest::newRow("LF field, Polish typed")
            << lf << int(TypedAtEnd) << QString::fromUtf8("ś") << lf + "\x9c";
        // ... and still refuses what would split the record or cannot be stored.
        QTest::newRow("LF field, pasted TAB") << lf << int(Pasted) << "X\tY" << lf;
        QTest::newRow("LF field, pasted Cyrillic") << lf << int(Pasted) << cyrillic << lf;
        QTest::newRow("TAB field, pasted TAB") << tab << int(Pasted) << "\t" << tab;
        QTest::newRow("NUL field, pasted LF") << nul << int(Pasted) << "a\nb" << nul;
        QTest::newRow("empty field, pasted TAB")
            << QByteArray() << int(Pasted) << "X\tY" << QByteArray();
        QTest::newRow("empty field, dropped TAB")
            << QByteArray() << int(Dropped) << "X\tY" << QByteArray();
        QTest::newRow("empty field, dropped text")
            << QByteArray() << int(Dropped) << "Abc" << QByteArray("Abc");
        QTest::newRow("empty field, Cyrillic from an input method")
            << QByteArray() << int(FromInputMethod) << cyrillic << QByteArray();
        QTest::newRow("LF field, Polish from an input method")
            << lf << int(FromInputMethod) << QString::fromUtf8("ż") << lf + "\xbf";
        QTest::newRow("empty field, Ctrl-Z pasted")
            << QByteArray() << int(Pasted) << QString(QChar(0x1A)) << QByteArray();
        QTest::newRow("empty field, CR typed into a paste")
            << QByteArray() << int(Pasted) << "a\rb" << QByteArray();
    }
    void Field_keepsWhatTheFileCanHoldAndNothingElse()
    {
        QFETCH(QByteArray, filled);
        QFETCH(int, path);
        QFETCH(QString, entered);
        QFETCH(QByteArray, expected);
        TRecordField field;
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        field.SetBytes(std::string_view(filled.constData(), std::size_t(filled.size())));
        Enter(field, TPath(path), entered);
        const std::optional<std::string> bytes = field.Bytes();
        QVERIFY(bytes.has_value());
        QCOMPARE(QByteArray::fromStdString(*bytes), expected);
    }

    void Field_filledFromARecord_staysEditable()
    {
        // Deleting and retyping in a field that held a NUL works, and the NUL goes only when
        // the user deletes it.
        TRecordField field;
        field.show();
        field.SetBytes(std::string_view("ab\0cd", 5));
        field.setFocus();
        field.end(false);
        QTest::keyClick(&field, Qt::Key_Backspace);
        QTest::keyClicks(&field, "XY");
        QCOMPARE(QByteArray::fromStdString(*field.Bytes()), QByteArray("ab\0cXY", 6));
        field.selectAll();
        QTest::keyClicks(&field, "nowe");
        QCOMPARE(QByteArray::fromStdString(*field.Bytes()), QByteArray("nowe"));
        // Never more of such bytes than the record held: one NUL, not two.
        QApplication::clipboard()->setText(QString(2, QChar(0)));
        field.paste();
        QCOMPARE(QByteArray::fromStdString(*field.Bytes()), QByteArray("nowe"));
    }
};

QTEST_MAIN(TestRecordField)
#include "tst_RecordField.moc"
