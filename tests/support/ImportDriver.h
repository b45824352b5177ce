#pragma once

// The import from CSV as a user runs it: a file chosen, the dialog read, changed and answered.
#include "ImportDialog.h"
#include "support/MainFormFixture.h"

#include <QListWidget>

#include <functional>

namespace TestSupport {

struct TImport
{
    QStringList Problems;
    QString Summary;
    bool Shown = false;
    // What the user does in the dialog before answering it.
    std::function<void(TImportDialog&)> Before;

    void Run(TFixture& F, const QByteArray& Bytes, bool Accept = true)
    {
        const QString path = F.Dir.filePath("wejscie.csv");
        WriteAll(path, Bytes);
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        QTimer::singleShot(0, F.Main.get(), [this, Accept] {
            TImportDialog* dialog = nullptr;
            QTRY_VERIFY((dialog = qobject_cast<TImportDialog*>(QApplication::activeModalWidget())));
            Shown = true;
            if (Before)
                Before(*dialog);
            Summary = dialog->Summary->text();
            for (int i = 0; i < dialog->Problems->count(); ++i)
                Problems << dialog->Problems->item(i)->text();
            (Accept ? dialog->Importuj : dialog->Anuluj)->click();
        });
        F.Main->ImportujClick(F.Main.get());
    }
};

} // namespace TestSupport
