// The application object: reports any error that reaches the event loop and lets the program go on.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the standard error box for an exception caught at the top of an operation.
    static void ShowException(std::exception_ptr error);
    // Runs an operation; an error it throws is shown, never propagated into the toolkit.
    static void Guarded(const std::function<void()> &operation);
};
