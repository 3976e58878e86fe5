// The application object: reports any error that reaches the event loop and lets the program go on.
#include "app/TApplication.h"

#include "toolkit/Prompts.h"

#include <stdexcept>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("setkariy"));
    setApplicationDisplayName(QStringLiteral("Сеткарий"));
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
