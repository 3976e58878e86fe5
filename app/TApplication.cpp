// The application object: reports any error that reaches the event loop and lets the program go on.
#include "app/TApplication.h"

#include "toolkit/Prompts.h"
#include "toolkit/Translations.h"

#include <stdexcept>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("setkariy"));
    // No display name: Qt would append it to every caption, and the captions are the program's own.
    LoadQtTranslations();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}

void TApplication::ShowException(std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    Prompts::ShowError(activeWindow(), text);
}

void TApplication::Guarded(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (...) {
        ShowException(std::current_exception());
    }
}
