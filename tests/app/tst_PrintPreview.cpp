// The printout seen before it is printed and saved as a PDF: the PDF's pages hold the lines
// the printer gives on paper for the same view, and the preview shows its pages.
#include "Cp1250.h"
#include "QamLVPrinter.h"
#include "support/MainFormFixture.h"
#include "support/RecordingCanvas.h"

#include <QCheckBox>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStandardPaths>

#include <map>

using namespace TestSupport;

namespace {

// The printout's lines, each line's pieces joined in the order they stand, spaces made one.
QStringList RecordedLines(const TRecordingCanvas& Canvas)
{
    std::map<int, std::map<int, std::string>> rows;
    for (const auto& call : Canvas.Calls)
        if (call.Kind == TRecordingCanvas::TCall::TextOut && !call.Text.empty())
            rows[call.Y][call.X] += call.Text;
    QStringList lines;
    for (const auto& [y, pieces] : rows) {
        std::string line;
        for (const auto& [x, text] : pieces)
            line += text;
        lines << Cp1250::ToUnicode(line).simplified();
    }
    lines.removeAll(QString());
    return lines;
}

QStringList PdfLines(const QString& Pdf)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-layout", Pdf, "-"});
    p.waitForFinished(30000);
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    for (QString& line : lines)
        line = line.simplified();
    lines.removeAll(QString());
    lines.removeAll(QStringLiteral("\f"));
    return lines;
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT
private slots:
    void Pdf_holdsTheLinesOfThePrintout()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        TFixture f(&kSmall);
        QTest::mouseClick(f.Main->Nieporz, Qt::LeftButton); // the lent ones only
        f.Main->dfsList1->SortByColumn(0, true);
        const QString pdf = f.Dir.filePath("lista"); // the suffix comes by itself
        DialogParts::AskFileName = [pdf](QWidget*, const QString&, const QString&, bool) {
            return pdf;
        };
        f.Main->PdfClick(f.Main.get());
        QVERIFY(f.Messages.isEmpty());
        TRecordingCanvas paper;
        f.Main->QamLVPrinter1->Print(paper);
        const QStringList expected = RecordedLines(paper);
        QCOMPARE(expected.size(), 1 + 3 + 2 + 1); // title, head, two rows, closing rule
        QCOMPARE(PdfLines(pdf + ".pdf"), expected);
    }

    void PdfThatCannotBeWritten_isReported()
    {
        TFixture f(&kSmall);
        DialogParts::AskFileName = [&f](QWidget*, const QString&, const QString&, bool) {
            return f.Dir.filePath("nie/ma/lista.pdf");
        };
        f.Main->PdfClick(f.Main.get());
        QCOMPARE(f.Messages.size(), 1);
        QVERIFY(f.Messages.first().startsWith(QString::fromUtf8("Nie można zapisać pliku")));
    }

    void Preview_showsThePagesOfThePrintout()
    {
        TFixture f(&kSmall);
        int pages = 0;
        QTimer::singleShot(0, f.Main.get(), [&] {
            QTRY_VERIFY(f.Main->Preview());
            auto* widget = f.Main->Preview()->findChild<QPrintPreviewWidget*>();
            QVERIFY(widget);
            QTRY_VERIFY(widget->pageCount() > 0);
            pages = widget->pageCount();
            f.Main->Preview()->reject();
        });
        f.Main->PodgladClick(f.Main.get());
        QCOMPARE(pages, 1);
        QVERIFY(f.Messages.isEmpty());
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_PrintPreview.moc"
