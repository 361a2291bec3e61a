#include "qtfiledialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>

QString QtFileDialog::qtFilterText(const QString& description, const QStringList& patterns)
{
    QString name = description;
    const qsizetype open = name.lastIndexOf(QLatin1Char('('));
    if (open > 0 && name.endsWith(QLatin1Char(')')))
        name = name.left(open).trimmed();
    // In the dialog's own pattern language "*.*" means every file, also one whose name has no dot; to Qt's
    // wildcards it would mean only names with a dot.
    QStringList qtPatterns;
    for (const QString& p : patterns)
        qtPatterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    return name + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::unique_ptr<QFileDialog> QtFileDialog::build(const FileDialogRequest& request) const
{
    QWidget* parent = m_parent ? m_parent.data() : QApplication::activeWindow();
    auto dialog = std::make_unique<QFileDialog>(parent, request.title);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);

    QStringList qtFilters;
    for (const auto& [description, patterns] : request.filters)
        qtFilters << qtFilterText(description, patterns);
    dialog->setNameFilters(qtFilters);
    if (request.filterIndex >= 1 && request.filterIndex <= qtFilters.size())
        dialog->selectNameFilter(qtFilters.at(request.filterIndex - 1));
    // Qt filters by the patterns it was given; the list of file types shows the descriptions as they are.
    if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int k = 0; k < request.filters.size() && k < types->count(); ++k) {
            types->setItemText(k, request.filters[k].first);
            types->setItemData(k, request.filters[k].first, Qt::AccessibleTextRole);
        }
    }

    if (!request.initialFolder.isEmpty())
        dialog->setDirectory(request.initialFolder);
    dialog->selectFile(request.fileName);
    return dialog;
}

int QtFileDialog::selectedFilterIndex(const QFileDialog& dialog)
{
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    return types ? types->currentIndex() + 1 : 0;
}

std::optional<QString> QtFileDialog::getOpenFileName(const FileDialogRequest& request)
{
    // Qt's dialog reads and writes a history of its own in the toolkit's settings file in the user's
    // configuration folder. The program writes nothing there but its own settings: that file goes to a
    // scratch folder, removed with the dialog. (The program's settings are an INI file, which this leaves
    // where it is.)
    auto scratch = std::make_unique<QTemporaryDir>();
    if (scratch->isValid())
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch->path());

    std::unique_ptr<QFileDialog> dialog = build(request);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    m_selectedFilter = selectedFilterIndex(*dialog);
    const QStringList chosen = dialog->selectedFiles();
    if (!accepted || chosen.isEmpty())
        return std::nullopt; // taken down at once: a cancel may end the program
    // Taking the dialog down (it writes its history, into the scratch folder, which then goes) waits until
    // the event loop is back, where the chosen map is already loading: it took up to 20 ms.
    QMetaObject::invokeMethod(
        qApp, [dialog = dialog.release(), scratch = scratch.release()] { delete dialog, delete scratch; },
        Qt::QueuedConnection);
    return chosen.first();
}
