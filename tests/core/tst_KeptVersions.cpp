// The versions kept before a save replaces a catalogue: the last ten of each catalogue, the
// oldest going first; a hard link to the old file where it may be, else a copy with the same
// bytes; a folder that cannot take them says why.
#include "KeptVersions.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

ino_t InodeOf(const QString& Path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(Path).constData(), &st);
    return st.st_ino;
}

} // namespace

class TestKeptVersions : public QObject
{
    Q_OBJECT
private slots:
    void EachCatalogue_keepsItsLastTen()
    {
        QTemporaryDir dir;
        const QString kept = dir.filePath("kopie");
        QDir(dir.path()).mkdir("a");
        QDir(dir.path()).mkdir("b");
        const QString a = dir.filePath("a/Dyskar.dat");
        const QString b = dir.filePath("b/Dyskar.dat");
        for (int i = 0; i < 12; ++i) {
            WriteAll(a, "wersja " + QByteArray::number(i) + "\r\n");
            QCOMPARE(TKeptVersions(a, kept).Keep(false), QString());
            if (i < 3) {
                WriteAll(b, "inny " + QByteArray::number(i) + "\r\n");
                QCOMPARE(TKeptVersions(b, kept).Keep(false), QString());
            }
        }
        const QStringList ofA = TKeptVersions(a, kept).Kept();
        QCOMPARE(ofA.size(), TKeptVersions::kKept);
        // The oldest two went; the rest stand oldest first.
        for (int k = 0; k < TKeptVersions::kKept; ++k)
            QCOMPARE(ReadAll(ofA[k]), "wersja " + QByteArray::number(k + 2) + "\r\n");
        QCOMPARE(TKeptVersions(b, kept).Kept().size(), 3);
        QVERIFY(ofA.first().contains("/Dyskar-"));
    }

    void Version_isALinkOrACopy_data()
    {
        QTest::addColumn<bool>("byLink");
        QTest::newRow("by a hard link: no byte copied") << true;
        QTest::newRow("by a copy, before a rewrite in place") << false;
    }
    void Version_isALinkOrACopy()
    {
        QFETCH(bool, byLink);
        QTemporaryDir dir;
        const QString file = dir.filePath("Dyskar.dat");
        WriteAll(file, "Abba\tPop\t1\tC\t\r\n");
        TKeptVersions versions(file, dir.filePath("kopie"));
        QCOMPARE(versions.Keep(byLink), QString());
        const QString kept = versions.Kept().value(0);
        QCOMPARE(ReadAll(kept), QByteArray("Abba\tPop\t1\tC\t\r\n"));
        QCOMPARE(InodeOf(kept) == InodeOf(file), byLink);
    }

    void FolderThatCannotTakeThem_saysWhy()
    {
        if (!PermissionsBind())
            QSKIP("file permissions do not bind this process");
        QTemporaryDir dir;
        const QString file = dir.filePath("Dyskar.dat");
        WriteAll(file, "x\r\n");
        QDir(dir.path()).mkdir("kopie");
        ::chmod(QFile::encodeName(dir.filePath("kopie")).constData(), 0555);
        const QString error = TKeptVersions(file, dir.filePath("kopie")).Keep(true);
        ::chmod(QFile::encodeName(dir.filePath("kopie")).constData(), 0755);
        QVERIFY(!error.isEmpty());
        QVERIFY(TKeptVersions(file, dir.filePath("kopie")).Kept().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeptVersions)
#include "tst_KeptVersions.moc"
