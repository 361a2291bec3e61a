#include "frmopenimg.h"
#include "qtfiledialog.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

// The real dialog, shown without its modal loop; the test reads what its list of files shows.
class TestQtFileDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void filterText_data();
    void filterText();
    void filtersListWhatTheySay();

private:
    static QStringList listed(QListView* view);
    QTemporaryDir m_dir;
};

void TestQtFileDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char* name : {"walk.gif", "SHEET.JPG", "Scan.Bmp", "moor.jpg", "notes.txt", "photo.png",
                             "photo.jpeg", "walk.gif.txt", "sheet12"}) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QVERIFY(QDir(m_dir.path()).mkdir("Sheets"));
}

void TestQtFileDialog::filterText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QString>("text");
    QTest::newRow("images") << "Image Files (*.gif, *.jpg,*.bmp)" << QStringList{"*.gif", "*.jpg", "*.bmp"}
                            << "Image Files (*.gif *.jpg *.bmp)";
    // Every file, also one without a dot in its name.
    QTest::newRow("all") << "All Files (*.*)" << QStringList{"*.*"} << "All Files (*)";
    QTest::newRow("no parentheses") << "Maps" << QStringList{"*.gif"} << "Maps (*.gif)";
}

void TestQtFileDialog::filterText()
{
    QFETCH(QString, description);
    QFETCH(QStringList, patterns);
    QFETCH(QString, text);
    QCOMPARE(QtFileDialog::qtFilterText(description, patterns), text);
}

QStringList TestQtFileDialog::listed(QListView* view)
{
    QStringList names;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
        names << model->index(r, 0, view->rootIndex()).data().toString();
    names.sort(Qt::CaseInsensitive);
    return names;
}

void TestQtFileDialog::filtersListWhatTheySay()
{
    FileDialogRequest request = frmOpenImg().CommonDialog1(); // the dialog exactly as the program sets it up
    request.initialFolder = m_dir.path();
    QtFileDialog files;
    std::unique_ptr<QFileDialog> dialog = files.build(request);
    dialog->show();
    QCOMPARE(dialog->windowTitle(), QString("Open Map Image..."));
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* view = dialog->findChild<QListView*>("listView");
    QVERIFY(types && name && view);
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QString("All Files (*.*)"));
    QCOMPARE(types->itemText(1), QString("Image Files (*.gif, *.jpg,*.bmp)"));
    QCOMPARE(types->currentText(), QString("Image Files (*.gif, *.jpg,*.bmp)"));
    QCOMPARE(name->text(), QString());
    QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
    // Images in any letter case, and folders.
    QTRY_COMPARE(listed(view), (QStringList{"moor.jpg", "Scan.Bmp", "SHEET.JPG", "Sheets", "walk.gif"}));
    QCOMPARE(QtFileDialog::selectedFilterIndex(*dialog), 2);

    QTest::keyClick(types, Qt::Key_Up); // the user picks "All Files (*.*)"
    QCOMPARE(types->currentText(), QString("All Files (*.*)"));
    QTRY_COMPARE(listed(view), (QStringList{"moor.jpg", "notes.txt", "photo.jpeg", "photo.png", "Scan.Bmp",
                                            "SHEET.JPG", "sheet12", "Sheets", "walk.gif", "walk.gif.txt"}));
    QCOMPARE(QtFileDialog::selectedFilterIndex(*dialog), 1);
}

QTEST_MAIN(TestQtFileDialog)
#include "tst_qtfiledialog.moc"
