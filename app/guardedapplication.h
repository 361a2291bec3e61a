#pragma once

#include <QApplication>
#include <exception>
#include <functional>

// The application object, with one catch around the delivery of every event: Qt's event loop cannot carry
// an exception, so an error nobody trapped (an overflow in checked arithmetic, memory exhausted) is
// handed to `untrapped`, which reports it and ends the program.
class GuardedApplication : public QApplication
{
public:
    GuardedApplication(int& argc, char** argv);

    void setUntrappedHandler(std::function<void(const std::exception&)> untrapped);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void(const std::exception&)> m_untrapped;
};
