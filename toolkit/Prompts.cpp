// Every question, message and save dialog goes through here, so tests can answer them.
#include "toolkit/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace Prompts {

namespace {

class TRealPrompter final : public TPrompter {
public:
    QMessageBox::StandardButton Ask(QWidget *parent, const TQuestion &q) override
    {
        QMessageBox box(q.Icon, q.Caption, q.Text, q.Buttons, parent);
        box.setInformativeText(q.Informative);
        if (q.Default != QMessageBox::NoButton)
            box.setDefaultButton(q.Default);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString AskSavePath(QWidget *parent, const TSaveDialogSetup &setup) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDirectory(setup.InitialDir);
        dialog.setNameFilters(QtNameFilters(setup.Filter));
        dialog.setDefaultSuffix(setup.DefaultExt);
        QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
        if (!setup.OverwritePrompt)
            options |= QFileDialog::DontConfirmOverwrite;
        dialog.setOptions(options);
        dialog.setSizeGripEnabled(setup.Resizable);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
};

TRealPrompter realPrompter;
TPrompter *current = &realPrompter;
int asking = 0;

struct TAsking {
    TAsking() { ++asking; }
    ~TAsking() { --asking; }
};

} // namespace

TPrompter *SetPrompter(TPrompter *prompter)
{
    TPrompter *previous = current;
    current = prompter ? prompter : &realPrompter;
    return previous;
}

bool IsAsking()
{
    return asking > 0;
}

QMessageBox::StandardButton Ask(QWidget *parent, const TQuestion &q)
{
    TAsking during;
    return current->Ask(parent, q);
}

QString AskSavePath(QWidget *parent, const TSaveDialogSetup &setup)
{
    const QString path = current->AskSavePath(parent, setup);
    return path.isEmpty() ? path : WithDefaultExt(path, setup.DefaultExt);
}

void ShowError(QWidget *parent, const QString &text)
{
    TQuestion q;
    q.Text = text;
    q.Caption = QStringLiteral("Сеткарий");
    q.Buttons = QMessageBox::Ok;
    q.Icon = QMessageBox::Critical;
    Ask(parent, q);
}

QStringList QtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString masks = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the masks from the parentheses; add them when the description lacks them.
        out << (description.contains(QLatin1Char('(')) ? description
                                                      : description + QStringLiteral(" (") + masks + QLatin1Char(')'));
    }
    return out;
}

QString WithDefaultExt(const QString &path, const QString &ext)
{
    if (ext.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + ext;
}

} // namespace Prompts
