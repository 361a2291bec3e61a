#include "guardedapplication.h"

#include <cstdlib>
#include <stdexcept>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void GuardedApplication::setUntrappedHandler(std::function<void(const std::exception&)> untrapped)
{
    m_untrapped = std::move(untrapped);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (!m_untrapped)
            std::abort();
        m_untrapped(e);
    } catch (...) {
        if (!m_untrapped)
            std::abort();
        m_untrapped(std::runtime_error("unknown error"));
    }
    return true;
}
