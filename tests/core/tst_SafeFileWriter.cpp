// Saving the data file: the old bytes or the new ones, never a mix; the file keeps its mode,
// group and links; no leftovers; every failure told in Polish.
#include "SafeFileWriter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

bool Save(const QString& Path, const QByteArray& Bytes, QString* Error = nullptr)
{
    TSafeFileWriter writer(Path);
    bool ok = writer.Open();
    if (ok) {
        // In pieces, as the catalogue writes it.
        for (qsizetype at = 0; at < Bytes.size(); at += 7)
            writer.Write(std::string_view(Bytes.constData() + at,
                                          std::size_t(std::min<qsizetype>(7, Bytes.size() - at))));
        ok = writer.Commit();
    }
    if (Error)
        *Error = writer.ErrorString();
    return ok;
}

QByteArray Records(int Count, const char* Tag)
{
    QByteArray all;
    for (int i = 0; i < Count; ++i)
        all += QByteArray(Tag) + " record " + QByteArray::number(i) + "\tRock\t1\tA1\t\r\n";
    return all;
}

// Files in the folder other than the data file: what a save may have left behind.
QStringList Leftovers(const QTemporaryDir& Dir)
{
    QStringList names = QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll("Dyskar.dat");
    names.removeAll("link.dat");
    return names;
}

} // namespace

class TestSafeFileWriter : public QObject
{
    Q_OBJECT
private slots:
    void Failure_keepsTheOldBytesAndSaysWhyInPolish_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder in place of the file") << "directory"
                                                     << "w miejscu pliku jest folder";
        QTest::newRow("folder missing") << "no folder"
                                        << "folder nie istnieje";
        QTest::newRow("file too large for the limit") << "size limit"
                                                      << "większy";
        QTest::newRow("read-only file") << "read-only file"
                                        << "tylko do odczytu";
        QTest::newRow("read-only folder without the file") << "read-only folder"
                                                           << "brak uprawnień";
        QTest::newRow("read-only folder, no room in place") << "read-only folder, limit"
                                                            << "większy";
    }
    void Failure_keepsTheOldBytesAndSaysWhyInPolish()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath("Dyskar.dat");
        const QByteArray old = Records(100, "old");
        WriteAll(path, old);
        std::unique_ptr<TFileSizeLimit> limit;
        if (fault == "directory") {
            QFile::remove(path);
            QDir().mkpath(path);
        } else if (fault == "no folder") {
            path = dir.filePath("gone/Dyskar.dat");
        } else if (fault == "size limit") {
            limit = std::make_unique<TFileSizeLimit>(old.size() / 2);
        } else if (fault == "read-only file") {
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        } else if (fault.startsWith("read-only folder")) {
            if (!PermissionsBind())
                QSKIP("the administrator writes into any folder");
            if (fault == "read-only folder")
                QFile::remove(path);
            else
                limit = std::make_unique<TFileSizeLimit>(old.size() * 2);
            ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        }
        QString error;
        const bool saved = Save(path, Records(300, "new"), &error);
        limit.reset();
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        QVERIFY(!saved);
        QVERIFY2(error.contains(reason), qPrintable(error));
        if (fault == "read-only folder")
            QVERIFY(!QFileInfo::exists(path));
        else if (fault != "directory" && fault != "no folder")
            QCOMPARE(ReadAll(path), old);
        QCOMPARE(Leftovers(dir), QStringList());
        if (fault == "read-only file") {
            struct stat now = {};
            ::stat(QFile::encodeName(path).constData(), &now);
            QCOMPARE(now.st_mode & 07777, mode_t(0444));
        }
    }

    void CutOffAnywhere_leavesTheOldBytes_data()
    {
        QTest::addColumn<bool>("hardLink");
        QTest::newRow("replaced") << false;
        // In place, room is reserved before the first old byte is overwritten.
        QTest::newRow("in place") << true;
    }
    void CutOffAnywhere_leavesTheOldBytes()
    {
        // A full disk at each fortieth of the new file's length.
        QFETCH(bool, hardLink);
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        const QByteArray old = Records(10000, "old");
        const QByteArray now = Records(10500, "new");
        WriteAll(path, old);
        if (hardLink)
            QVERIFY(::link(QFile::encodeName(path).constData(),
                           QFile::encodeName(dir.filePath("link.dat")).constData()) == 0);
        for (int part = 1; part < 40; ++part) {
            {
                TFileSizeLimit limit(rlim_t(now.size() * part / 40));
                QVERIFY(!Save(path, now));
            }
            QCOMPARE(ReadAll(path), old);
            QCOMPARE(Leftovers(dir), QStringList());
        }
        QVERIFY(Save(path, now));
        QCOMPARE(ReadAll(path), now);
        if (hardLink)
            QCOMPARE(ReadAll(dir.filePath("link.dat")), now);
    }

    // Pieces of a chunk or more may go out without being buffered; the file must still read
    // back in the order written, whatever sizes come in whatever turn.
    void PiecesOfAnySize_arriveInOrder_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        constexpr int chunk = 1 << 20;
        QTest::newRow("large first") << QList<int>{chunk, 5, chunk + 3, 1};
        QTest::newRow("small before large") << QList<int>{17, 3 * chunk, 2};
        QTest::newRow("small ones past a chunk") << QList<int>{chunk - 1, 1, 1, chunk};
        QTest::newRow("large only") << QList<int>{2 * chunk, chunk};
    }
    void PiecesOfAnySize_arriveInOrder()
    {
        QFETCH(QList<int>, sizes);
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, "old\t\t\t\t\r\n");
        QByteArray all;
        TSafeFileWriter writer(path);
        QVERIFY(writer.Open());
        for (const int size : sizes) {
            QByteArray piece(size, '\0');
            for (int i = 0; i < size; ++i)
                piece[i] = char('a' + (all.size() + i) % 23);
            writer.Write(std::string_view(piece.constData(), std::size_t(piece.size())));
            all += piece;
        }
        QVERIFY(writer.Commit());
        QVERIFY(ReadAll(path) == all);
        QCOMPARE(Leftovers(dir), QStringList());
    }

    // A named pipe where the data file was is replaced like a file, without waiting for a
    // writer at its other end.
    void NamedPipeInPlaceOfTheFile_isReplacedWithoutWaiting()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        QVERIFY(Save(path, "new\t\t\t\t\r\n"));
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(ReadAll(path), QByteArray("new\t\t\t\t\r\n"));
    }

    // The replaced file is let go of, so that its room comes back to the disk.
    void Success_letsGoOfTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, Records(1000, "old"));
        struct stat old = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &old), 0);
        QVERIFY(Save(path, Records(10, "new")));
        const auto held = [&] {
            int count = 0;
            const QDir fds("/proc/self/fd");
            for (const QString& fd :
                 fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
                struct stat s = {};
                if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &s) == 0 &&
                    s.st_ino == old.st_ino && s.st_dev == old.st_dev)
                    ++count;
            }
            return count;
        };
        QTRY_COMPARE(held(), 0);
    }

    void Success_keepsModeGroupAndLinks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, "old\t\t\t\t\r\n");
        const QByteArray file = QFile::encodeName(path);
        ::chmod(file.constData(), 0640);
        // Another group, where this user may give one.
        gid_t groups[64];
        const int count = getgroups(64, groups);
        const gid_t group = geteuid() == 0 ? 100 : (count > 1 ? groups[1] : getegid());
        (void)!::chown(file.constData(), static_cast<uid_t>(-1), group);
        struct stat before = {};
        ::stat(file.constData(), &before);
        // Saved through a symbolic link: the file it points at is written, the link stays.
        const QString link = dir.filePath("link.dat");
        QVERIFY(QFile::link(path, link));

        QVERIFY(Save(link, "new\t\t\t\t\r\n"));
        QCOMPARE(ReadAll(path), QByteArray("new\t\t\t\t\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat after = {};
        ::stat(file.constData(), &after);
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(Leftovers(dir), QStringList());
    }

    void FileThatCannotBeReplaced_isRewrittenInPlace_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("oldCount");
        QTest::addColumn<int>("newCount");
        QTest::newRow("hard link, longer") << "hard link" << 100 << 3000;
        QTest::newRow("hard link, shorter") << "hard link" << 3000 << 100;
        QTest::newRow("hard link, emptied") << "hard link" << 100 << 0;
        QTest::newRow("read-only folder, longer") << "read-only folder" << 100 << 3000;
        QTest::newRow("read-only folder, shorter") << "read-only folder" << 3000 << 100;
    }
    void FileThatCannotBeReplaced_isRewrittenInPlace()
    {
        QFETCH(QString, reason);
        QFETCH(int, oldCount);
        QFETCH(int, newCount);
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, Records(oldCount, "old"));
        const QByteArray file = QFile::encodeName(path);
        const QString other = dir.filePath("link.dat");
        if (reason == "hard link") {
            QVERIFY(::link(file.constData(), QFile::encodeName(other).constData()) == 0);
        } else {
            if (!PermissionsBind())
                QSKIP("the administrator writes into any folder");
            ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        }
        struct stat before = {};
        ::stat(file.constData(), &before);

        const QByteArray now = Records(newCount, "new");
        QString error;
        const bool saved = Save(path, now, &error);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(ReadAll(path), now);
        if (reason == "hard link")
            QCOMPARE(ReadAll(other), now);
        struct stat after = {};
        ::stat(file.constData(), &after);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(Leftovers(dir), QStringList());
    }

    void LeftoverOfAKilledSave_isTakenOverByTheNext()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, "old\t\t\t\t\r\n");
        WriteAll(path + ".zapisywanie", Records(50, "half"));
        QVERIFY(Save(path, "new\t\t\t\t\r\n"));
        QCOMPARE(ReadAll(path), QByteArray("new\t\t\t\t\r\n"));
        QCOMPARE(Leftovers(dir), QStringList());
    }

    void EmptyCatalogue_isAnEmptyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        QVERIFY(Save(path, QByteArray()));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }
};

QTEST_MAIN(TestSafeFileWriter)
#include "tst_SafeFileWriter.moc"
