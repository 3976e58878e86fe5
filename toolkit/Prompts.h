// Every question, message and save dialog goes through here, so tests can answer them.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace Prompts {

struct TQuestion {
    QString Text;
    QString Informative;  // a second paragraph under the text, when there is one
    QString Caption;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

// The settings of a save-file dialog as the main window keeps them.
struct TSaveDialogSetup {
    QString DefaultExt;       // without the dot
    QString Filter;           // "description|mask|description|mask..."
    QString InitialDir;
    bool OverwritePrompt = true;
    bool HideReadOnly = true;
    bool Resizable = true;
};

// Answers questions; the real one shows modal boxes, a test installs a scripted one.
class TPrompter {
public:
    virtual ~TPrompter() = default;
    virtual QMessageBox::StandardButton Ask(QWidget *parent, const TQuestion &q) = 0;
    // The chosen path, or an empty text when the user cancels.
    virtual QString AskSavePath(QWidget *parent, const TSaveDialogSetup &setup) = 0;
};

// True while a question or message is on screen: the board's clock ignores the deactivation
// such a box causes.
bool IsAsking();

// Installs a prompter (nullptr brings the real one back); returns the previous one.
TPrompter *SetPrompter(TPrompter *prompter);

QMessageBox::StandardButton Ask(QWidget *parent, const TQuestion &q);
QString AskSavePath(QWidget *parent, const TSaveDialogSetup &setup);
// The standard error box: the text, one OK button, the error icon, the application's title.
void ShowError(QWidget *parent, const QString &text);

// "Files (*.x)|*.x" pairs in the form Qt's file dialogs take.
QStringList QtNameFilters(const QString &filter);
// A chosen name without an extension gets the dialog's default one.
QString WithDefaultExt(const QString &path, const QString &ext);

} // namespace Prompts
