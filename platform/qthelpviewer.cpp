#include "qthelpviewer.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

QtHelpViewer::~QtHelpViewer()
{
    delete m_window;
}

void QtHelpViewer::showContents(const QString& helpFile)
{
    QFile file(helpFile);
    QString reason;
    if (QFileInfo(helpFile).isDir())
        reason = QStringLiteral("it is a folder, not a file");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.exists() ? file.errorString() : QStringLiteral("there is no such file");
    if (!reason.isEmpty()) {
        m_messages.show(QStringLiteral("Mapwheel Help"),
                        QStringLiteral("Cannot open the help file") + QLatin1Char('\r') + helpFile +
                            QLatin1Char('\r') + QStringLiteral("because ") + reason + QLatin1Char('.'),
                        MessageIcon::Warning);
        return;
    }
    const QString html = QString::fromUtf8(file.readAll());

    if (!m_window) {
        m_window = new QWidget(nullptr, Qt::Window);
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_browser = new QTextBrowser(m_window);
        m_browser->setObjectName(QStringLiteral("helpBrowser"));
        m_browser->setOpenExternalLinks(false);
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_browser);
        // Escape closes it, as it closes a dialog.
        auto* close = new QAction(m_window);
        close->setShortcut(QKeySequence(Qt::Key_Escape));
        m_window->addAction(close);
        QObject::connect(close, &QAction::triggered, m_window, &QWidget::close);
        // Its usual size, but never larger than most of the screen, whatever the screen's scale.
        QSize size(560, 640);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size() * 0.85);
        m_window->resize(size);
    }
    m_browser->setSearchPaths({QFileInfo(helpFile).absolutePath()});
    m_browser->setHtml(html);
    const QString title = m_browser->documentTitle();
    m_window->setWindowTitle(title.isEmpty() ? QStringLiteral("Mapwheel Help") : title);
    m_browser->setAccessibleName(m_window->windowTitle());
    m_browser->moveCursor(QTextCursor::Start); // the contents, at the top
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
