// Reading lines by the file's rules, across buffer boundaries.
#include "TextFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArrayList ReadInPlace(const QString& Path)
{
    TTextFileReader reader;
    QByteArrayList got;
    if (!reader.Open(Path))
        return got;
    std::string_view line;
    std::string spill;
    while (reader.ReadLine(line, spill))
        got << QByteArray(line.data(), qsizetype(line.size()));
    return got;
}

} // namespace

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
        QTest::newRow("Ctrl-Z inside a line") << QByteArray("a\r\nb\x1a"
                                                            "c\r\nd\r\n")
                                              << QByteArrayList{"a", "b"};
        QTest::newRow("CR at the very end") << QByteArray("a\r") << QByteArrayList{"a"};
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
        QCOMPARE(ReadInPlace(path), lines);
    }

    // Lines handed out where they lie in the read buffer, or copied where they cross it, read
    // the same as lines always copied: many lines, of every length, across several buffers.
    void LinesAcrossTheReadBuffer_readTheSameInPlaceOrCopied()
    {
        QByteArray content;
        QByteArrayList lines;
        for (int i = 0; content.size() < 3 * 1024 * 1024 + 5000; ++i) {
            QByteArray line(i * 7919 % 3001, char('a' + i % 26));
            if (i % 5 == 0)
                line += "\nlf";
            lines << line;
            content += line + (i % 3 ? "\r\n" : "\r");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        TestSupport::WriteAll(path, content);
        QCOMPARE(ReadInPlace(path), lines);
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
        QCOMPARE(ReadInPlace(path), (QByteArrayList{QByteArray(1024 * 1024 - 1, 'a'), "b"}));
    }
};

QTEST_MAIN(TestTextFile)
#include "tst_TextFile.moc"
