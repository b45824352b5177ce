// Reading lines by the file's rules, across buffer boundaries.
#include "TextFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestTextFile : public QObject
{
    Q_OBJECT
private slots:
    void Lines_endAtCrAndTheFileAtCtrlZ_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("no line end") << QByteArray("a\r\nb") << QByteArrayList{"a", "b"};
        QTest::newRow("lone LF is a byte") << QByteArray("a\nb") << QByteArrayList{"a\nb"};
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArrayList{"a\n", "b"};
        QTest::newRow("Ctrl-Z first") << QByteArray("\x1a"
                                                    "abc")
                                      << QByteArrayList{};
        QTest::newRow("Ctrl-Z after a line") << QByteArray("a\r\n\x1a\r\n") << QByteArrayList{"a"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << QByteArrayList{"", ""};
    }
    void Lines_endAtCrAndTheFileAtCtrlZ()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        TestSupport::WriteAll(path, content);
        TTextFileReader reader;
        QVERIFY(reader.Open(path));
        QByteArrayList got;
        std::string line;
        while (!reader.Eof()) {
            reader.ReadLine(line);
            got << QByteArray::fromStdString(line);
        }
        QCOMPARE(got, lines);
        QVERIFY(!reader.ReadFailed());
    }

    void CrLf_splitAcrossTheReadBuffer_isOneLineEnd()
    {
        // Given a CR as the last byte of the first 1 MiB chunk and its LF as the first of the next
        QByteArray content(1024 * 1024 - 1, 'a');
        content += "\r\nb";
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        TestSupport::WriteAll(path, content);
        TTextFileReader reader;
        QVERIFY(reader.Open(path));
        std::string line;
        QVERIFY(reader.ReadLine(line));
        QCOMPARE(line.size(), std::size_t(1024 * 1024 - 1));
        QVERIFY(reader.ReadLine(line));
        QCOMPARE(QByteArray::fromStdString(line), QByteArray("b"));
        QVERIFY(reader.Eof());
    }
};

QTEST_MAIN(TestTextFile)
#include "tst_TextFile.moc"
