// A random user: the real window and dialogs driven through thousands of random actions,
// checked after each one against a small model of the catalogue's rules. The seed is printed;
// DYSKAR_RANDOM_SEED replays a run and DYSKAR_RANDOM_ACTIONS sets its length.
#include "Locale.h"
#include "RecordField.h"
#include "support/MainFormFixture.h"

#include <QCheckBox>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <vector>

using namespace TestSupport;

namespace {

using TFields = std::array<std::string, 5>;

// The catalogue as its rules say it must be.
struct TModel
{
    struct TRecord
    {
        int Id;
        TFields Fields;
    };
    struct TStep
    {
        int Id;
        bool Deleted;
        int Index;
        TFields Fields;
    };

    std::vector<TRecord> Master;
    std::vector<TStep> Undo;
    bool Zapisane = true;
    QByteArray Saved; // the file's bytes
    int NextId = 0;
    bool InOrder = false; // the file's order until an addition or edit

    void Load(const QByteArray& File)
    {
        Master.clear();
        Undo.clear();
        Zapisane = true;
        InOrder = false;
        Saved = File;
        for (const QByteArray& line : File.split('\n')) {
            if (line.isEmpty())
                continue;
            const QList<QByteArray> parts = line.chopped(1).split('\t'); // without the CR
            TFields fields;
            for (std::size_t f = 0; f < fields.size(); ++f)
                if (qsizetype(f) < parts.size())
                    fields[f] = parts[qsizetype(f)].toStdString();
            Master.push_back({NextId++, fields});
        }
    }
    QByteArray Bytes() const
    {
        QByteArray all;
        for (const TRecord& r : Master) {
            const TFields& f = r.Fields;
            all += QByteArray::fromStdString(f[0] + '\t' + f[1] + '\t' + f[2] + '\t' + f[3] + '\t' +
                                             f[4] + "\r\n");
        }
        return all;
    }
    // The master list keeps name order after an addition or an edit.
    void SortByName()
    {
        InOrder = true;
        std::stable_sort(Master.begin(), Master.end(), [](const TRecord& a, const TRecord& b) {
            return Locale::CompareText(a.Fields[0], b.Fields[0]) < 0;
        });
    }
    void Add(const TFields& Fields)
    {
        Master.push_back({NextId++, Fields});
        Zapisane = false;
    }
    void Edit(int Index, const TFields& Fields)
    {
        Undo.push_back(
            {Master[std::size_t(Index)].Id, false, Index, Master[std::size_t(Index)].Fields});
        Master[std::size_t(Index)].Fields = Fields;
        SortByName();
        Zapisane = false;
    }
    void Delete(int Index)
    {
        Undo.push_back(
            {Master[std::size_t(Index)].Id, true, Index, Master[std::size_t(Index)].Fields});
        Master.erase(Master.begin() + Index);
        Zapisane = false;
    }
    void TakeBack()
    {
        if (Undo.empty())
            return;
        const TStep step = Undo.back();
        Undo.pop_back();
        Zapisane = false;
        if (!step.Deleted) {
            const auto now = std::find_if(Master.begin(), Master.end(),
                                          [&](const TRecord& r) { return r.Id == step.Id; });
            if (now == Master.end())
                return;
            Master.erase(now);
        }
        const int at = std::clamp(step.Index, 0, int(Master.size()));
        Master.insert(Master.begin() + at, {NextId, step.Fields});
        for (TStep& older : Undo)
            if (older.Id == step.Id)
                older.Id = NextId;
        ++NextId;
        // Back where it stood; once an addition or edit put the list in name order, in that
        // order again, as records added or edited since moved the others.
        if (InOrder)
            SortByName();
    }
};

const char* const kNames[] = {"Kolędy", "Atlas", "atlas", "Bach", "Żółw", "Łąka", "Abba", "", "Zz"};
const char* const kKinds[] = {"Muzyka", "Pop", "pop", "Klasyka", "Jazz", ""};
const char* const kCounts[] = {"1", "2", "12", " 3", "$1A", "x", ""};
const char* const kShelves[] = {"A1", "B", "b", "C", ""};
const char* const kLent[] = {"", "", "Ania", "brat"};

template <std::size_t N> std::string Pick(QRandomGenerator& Random, const char* const (&Pool)[N])
{
    return Cp1250::FromUtf8(Pool[Random.bounded(int(N))]);
}

QString Describe(const TFields& F)
{
    QStringList parts;
    for (const std::string& f : F)
        parts << Cp1250::ToUnicode(f);
    return parts.join('|');
}

QStringList Sorted(QStringList Rows)
{
    Rows.sort();
    return Rows;
}

} // namespace

class TestRandomUser : public QObject
{
    Q_OBJECT

    QRandomGenerator m_Random;
    TModel m_Model;
    std::unique_ptr<TFixture> m_App;
    int m_SortColumn = 0;
    bool m_Ascending = true;
    QString m_Action;

    TMainForm& Main() { return *m_App->Main; }

    // The window opened anew on the file, as a user starting the program again.
    void Restart()
    {
        TFixture& f = *m_App;
        f.Main.reset();
        f.Main = std::make_unique<TMainForm>(f.Path);
        f.Dodaj = new TDodajForm(*f.Main, f.Main.get());
        f.Edytuj = new TEdytujForm(*f.Main, f.Main.get());
        f.Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
        m_Model.Load(ReadAll(f.Path));
        m_SortColumn = 0;
        m_Ascending = true;
    }

    TFields RandomRecord()
    {
        return {Pick(m_Random, kNames), Pick(m_Random, kKinds), Pick(m_Random, kCounts),
                Pick(m_Random, kShelves), Pick(m_Random, kLent)};
    }

    int RandomVisibleRow()
    {
        const int count = Main().dfsList1->Items().Count();
        return count == 0 ? -1 : m_Random.bounded(count);
    }

    // The master row that a visible row stands for, as an index of the model.
    int MasterIndexOf(int VisibleRow)
    {
        const TListItem* master = Main().MasterRowOf(Main().dfsList1->Items().Item(VisibleRow));
        return master ? Main().AllList->Control().IndexOfRow(master) : -1;
    }

    void SelectRow(int Row)
    {
        TdfsExtListView& list = *Main().dfsList1;
        list.SetSelected(list.Items().Item(Row));
        auto* view = list.Control().View();
        view->scrollTo(view->model()->index(Row, 0));
    }

    void ChangeFilter()
    {
        const int which = m_Random.bounded(4);
        if (which < 2) {
            QCheckBox* box = which == 0 ? Main().Porz : Main().Nieporz;
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
            m_Action = QStringLiteral("przełącz %1").arg(box->text());
            return;
        }
        TSortedComboBox& box = which == 2 ? *Main().ComboBox1 : *Main().ComboBox2;
        const int index = m_Random.bounded(box.count());
        Choose(box, box.itemText(index));
        m_Action = QStringLiteral("wybierz %1").arg(box.itemText(index));
    }

    void ClickHeader()
    {
        const int column = m_Random.bounded(5);
        QHeaderView* header = Main().dfsList1->Control().Header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        m_Ascending = column == m_SortColumn ? !m_Ascending : true;
        m_SortColumn = column;
        m_Action = QStringLiteral("sortuj %1").arg(column);
    }

    void AddRecords()
    {
        const int count = m_Random.bounded(4); // none at all is a choice too
        std::vector<TFields> records;
        for (int i = 0; i < count; ++i) {
            TFields r = RandomRecord();
            r[4].clear(); // a new record is never lent
            records.push_back(r);
        }
        TDodajForm* dialog = m_App->Dodaj;
        WhenShown(dialog, [=] {
            for (const TFields& r : records) {
                dialog->Edit1->SetBytes(r[0]);
                dialog->ComboBox1->SetText(r[1]);
                dialog->Edit2->SetBytes(r[2]);
                dialog->Edit3->SetBytes(r[3]);
                QTest::mouseClick(dialog->Button1, Qt::LeftButton);
            }
            QTest::mouseClick(dialog->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(Main().Dodaj, Qt::LeftButton);
        for (const TFields& r : records)
            m_Model.Add(r);
        m_Model.SortByName();
        m_Action = QStringLiteral("dodaj %1").arg(count);
    }

    // Edits a record; lending and returning are edits of its last field.
    void EditRecord(int Kind)
    {
        const int row = RandomVisibleRow();
        if (row < 0)
            return;
        SelectRow(row);
        const int index = MasterIndexOf(row);
        QVERIFY(index >= 0);
        TFields wanted = m_Model.Master[std::size_t(index)].Fields;
        if (Kind == 0)
            wanted = RandomRecord();
        else
            wanted[4] = Kind == 1 ? Pick(m_Random, kLent) : std::string();
        const bool cancel = m_Random.bounded(8) == 0;
        TEdytujForm* dialog = m_App->Edytuj;
        TFields shown = wanted;
        WhenShown(dialog, [=, &shown] {
            dialog->Edit1->SetBytes(wanted[0]);
            // The kind is chosen from the list; one that is not there leaves the field empty.
            const int kind = dialog->ComboBox1->FindIgnoreCase(wanted[1]);
            dialog->ComboBox1->SetItemIndex(kind);
            shown[1] = dialog->ComboBox1->Text();
            dialog->Edit2->SetBytes(wanted[2]);
            dialog->Edit3->SetBytes(wanted[3]);
            dialog->Edit4->SetBytes(wanted[4]);
            QTest::mouseClick(cancel ? dialog->Button2 : dialog->Button1, Qt::LeftButton);
        });
        DoubleClickRow(Main(), row);
        if (!cancel)
            m_Model.Edit(index, shown);
        m_Action = QStringLiteral("%1 %2 → %3")
                       .arg(cancel ? "anuluj"
                                   : (Kind == 0   ? "edytuj"
                                      : Kind == 1 ? "pożycz"
                                                  : "zwróć"))
                       .arg(row)
                       .arg(Describe(shown));
    }

    void DeleteRecord()
    {
        const int row = RandomVisibleRow();
        if (row < 0)
            return;
        SelectRow(row);
        const int index = MasterIndexOf(row);
        QTest::mouseClick(Main().Usun, Qt::LeftButton);
        m_Model.Delete(index);
        m_Action = QStringLiteral("usuń %1").arg(row);
    }

    void TakeBack()
    {
        QApplication::setActiveWindow(&Main());
        QTest::keyClick(&Main(), Qt::Key_Z, Qt::ControlModifier);
        m_Model.TakeBack();
        m_Action = QStringLiteral("cofnij");
    }

    void Save()
    {
        QTest::mouseClick(Main().Zapisz, Qt::LeftButton);
        m_Model.Saved = m_Model.Bytes();
        m_Action = QStringLiteral("zapisz");
    }

    // The user asks to close; unsaved changes bring the menu, answered at random.
    void TryToClose()
    {
        const bool asks = !m_Model.Zapisane;
        const QString answers[] = {QStringLiteral("Zapisz zmiany"), QStringLiteral("Nie zapisuj"),
                                   QString()};
        const QString answer = answers[m_Random.bounded(3)];
        if (asks)
            AnswerPopup(answer);
        QTest::mouseClick(Main().Button1, Qt::LeftButton);
        if (asks)
            QTRY_VERIFY(!QApplication::activePopupWidget());
        const bool closes = !asks || !answer.isEmpty();
        m_Action = QStringLiteral("zamknij: %1").arg(asks ? answer : "bez pytania");
        QCOMPARE(Main().isVisible(), !closes);
        if (!closes)
            return;
        if (answer == QStringLiteral("Zapisz zmiany"))
            m_Model.Saved = m_Model.Bytes();
        QCOMPARE(ReadAll(m_App->Path), m_Model.Saved);
        Restart();
    }

    // The program dies while it rewrites the catalogue in place (another name of the file
    // keeps a new file from taking its place), and the user starts it again: the catalogue
    // holds exactly the bytes before that save, or exactly the new ones; the old ones come
    // back with a word to the user.
    void SaveKilledInPlace()
    {
        TFixture& f = *m_App;
        const QString other = QFileInfo(f.Path).dir().filePath(QStringLiteral("link.dat"));
        if (!QFileInfo::exists(other))
            QVERIFY(::link(QFile::encodeName(f.Path).constData(),
                           QFile::encodeName(other).constData()) == 0);
        const QByteArray old = ReadAll(f.Path);
        const QByteArray fresh = m_Model.Bytes();
        const QString source = f.Dir.filePath(QStringLiteral("next.src"));
        WriteAll(source, fresh);
        const qint64 cut = m_Random.bounded(qint64(fresh.size()) + 1);
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", DYSKAR_FAULT_SHIM);
        env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        env.insert("DYSKAR_KILL_AFTER", QString::number(cut));
        tool.setProcessEnvironment(env);
        f.Main.reset(); // the window goes with the program
        tool.start(DYSKAR_SAVE_TOOL, {QStringLiteral("--journal"), f.Path, source});
        tool.waitForFinished(60000);
        m_Action = QStringLiteral("zapis w miejscu przerwany po %1 z %2 bajtów, ponowny start")
                       .arg(cut)
                       .arg(fresh.size());
        Restart();
        const QByteArray now = ReadAll(f.Path);
        QVERIFY2(now == old || now == fresh, qPrintable(m_Action));
        QCOMPARE(f.Messages.size(), now == fresh ? 0 : 1);
        f.Messages.clear();
        m_Model.Saved = now;
    }

    void Check()
    {
        TMainForm& main = Main();
        // The master list, in its order.
        const TListItems& master = main.AllList->Items();
        QCOMPARE(master.Count(), int(m_Model.Master.size()));
        for (int i = 0; i < master.Count(); ++i) {
            const TRowText& text = master.Item(i)->Texts();
            TFields real;
            for (int f = 0; f < 5; ++f)
                real[std::size_t(f)] = std::string(text.Field(f));
            QCOMPARE(Describe(real), Describe(m_Model.Master[std::size_t(i)].Fields));
        }
        // The visible list: exactly the master records that pass the filter shown; an empty
        // entry filters nothing, as "- Wszystkie -" does.
        const std::string kind = main.ComboBox1->Text();
        const std::string shelf = main.ComboBox2->Text();
        QStringList expected;
        std::int64_t discs = 0;
        for (const auto& r : m_Model.Master) {
            const bool lent = !r.Fields[4].empty();
            if (!(lent ? main.Porz->isChecked() : main.Nieporz->isChecked()))
                continue;
            if (kind != kWszystkie && !kind.empty() && r.Fields[1] != kind)
                continue;
            if (shelf != kWszystkie && !shelf.empty() && r.Fields[3] != shelf)
                continue;
            expected << Describe(r.Fields);
            discs += Catalogue::DiscCount(r.Fields[2]);
        }
        const TListItems& visible = main.dfsList1->Items();
        QStringList shown;
        for (int i = 0; i < visible.Count(); ++i) {
            const TRowText& text = visible.Item(i)->Texts();
            TFields f;
            for (int k = 0; k < 5; ++k)
                f[std::size_t(k)] = std::string(text.Field(k));
            shown << Describe(f);
        }
        QCOMPARE(Sorted(shown), Sorted(expected));
        // Right after a header click, the rows stand in that column's order.
        if (m_Action.startsWith(QStringLiteral("sortuj")))
            for (int i = 0; i + 1 < visible.Count(); ++i) {
                const TRowText& a = visible.Item(i)->Texts();
                const TRowText& b = visible.Item(i + 1)->Texts();
                const int order = Locale::CompareText(a.Field(m_SortColumn), b.Field(m_SortColumn));
                QVERIFY2(m_Ascending ? order <= 0 : order >= 0, qPrintable(shown.join('\n')));
            }
        // The counts, at the status bar's next refresh.
        main.Timer1Timer(main.Timer1);
        QCOMPARE(main.StatusText(spItems), QStringLiteral("Pozycji: %1").arg(expected.size()));
        QCOMPARE(main.StatusText(spDiscs), QStringLiteral("Płyt: %1").arg(discs));
        QCOMPARE(main.Zapisane, m_Model.Zapisane);
        QCOMPARE(ReadAll(m_App->Path), m_Model.Saved);
        QVERIFY2(m_App->Messages.isEmpty(), qPrintable(m_App->Messages.join('\n')));
        QVERIFY2(m_App->Asked.isEmpty(), qPrintable(m_App->Asked.join('\n')));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }

    void ThousandsOfRandomActions_keepTheCatalogueRules()
    {
        const QByteArray seedText = qgetenv("DYSKAR_RANDOM_SEED");
        const quint32 seed =
            seedText.isEmpty() ? QRandomGenerator::global()->generate() : seedText.toUInt();
        const int actions = qEnvironmentVariableIntValue("DYSKAR_RANDOM_ACTIONS") > 0
                                ? qEnvironmentVariableIntValue("DYSKAR_RANDOM_ACTIONS")
                                : 3000;
        qInfo("DYSKAR_RANDOM_SEED=%u DYSKAR_RANDOM_ACTIONS=%d", seed, actions);
        m_Random.seed(seed);
        m_App = std::make_unique<TFixture>(&kSmall);
        m_Model.Load(kSmall);
        QStringList log;
        for (int step = 0; step < actions; ++step) {
            m_Action.clear();
            const int roll = m_Random.bounded(100);
            if (roll < 20)
                ChangeFilter();
            else if (roll < 32)
                ClickHeader();
            else if (roll < 44)
                AddRecords();
            else if (roll < 56)
                EditRecord(0);
            else if (roll < 64)
                EditRecord(1);
            else if (roll < 70)
                EditRecord(2);
            else if (roll < 80)
                DeleteRecord();
            else if (roll < 88)
                TakeBack();
            else if (roll < 95)
                Save();
            else if (roll < 99)
                TryToClose();
            else
                SaveKilledInPlace();
            log << QStringLiteral("%1: %2").arg(step).arg(m_Action);
            // An action that fails checks nothing more, but its steps are told all the same.
            if (!QTest::currentTestFailed())
                Check();
            if (QTest::currentTestFailed()) {
                qWarning("seed %u; the last steps:\n%s", seed,
                         qPrintable(log.mid(std::max<qsizetype>(0, log.size() - 15)).join('\n')));
                break;
            }
        }
        m_App.reset();
    }
};

QTEST_MAIN(TestRandomUser)
#include "tst_RandomUser.moc"
