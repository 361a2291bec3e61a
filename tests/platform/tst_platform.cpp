#include "qtfiledialog.h"
#include "qthelpviewer.h"
#include "qtsettingsstore.h"
#include "recordingmessageboxes.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

// The settings store on a real file, the file-open dialog and the help viewer.
class TestPlatform : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void valuesComeBackAsWritten()
    {
        QtSettingsStore store(path("round.ini"));
        QCOMPARE(store.value("Unit1"), std::nullopt); // no file yet
        const QStringList texts{"/maps/a, b c.gif", "C:\\Maps\\x;y=z[1].gif", "\"quoted\" km",
                                QStringLiteral("/karten/Straße.jpg"), "6.21371192237334E-07"};
        for (const QString& text : texts) {
            QVERIFY(store.setValues({{"Unit1", "Feet"}, {"Abbrev", text}}));
            QCOMPARE(QtSettingsStore(path("round.ini")).value("Abbrev"), text);
        }
    }

    void damagedOrUnreadableReadsAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a folder where the file should be
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("damage after good text") << QByteArray("[Mapwheel]\nUnit1=Feet\n[broken\n");
        QTest::newRow("another section") << QByteArray("[General]\nUnit1=Feet\n");
        QTest::newRow("a folder") << QByteArray();
    }
    void damagedOrUnreadableReadsAsAbsent()
    {
        QFETCH(QByteArray, content);
        QFile f(path(QTest::currentDataTag()));
        QVERIFY(content.isNull() ? QDir().mkpath(f.fileName())
                                 : f.open(QIODevice::WriteOnly) && f.write(content) >= 0 && f.flush());
        QtSettingsStore store(f.fileName());
        QCOMPARE(store.value("Unit1"), std::nullopt);
        // A damaged file is written afresh; a folder in its way stays, and the write says it failed.
        QCOMPARE(store.setValues({{"Unit2", "Yards"}}), !content.isNull());
        QCOMPARE(store.value("Unit2"), content.isNull() ? std::nullopt : std::optional<QString>("Yards"));
    }

    void aWriteThatCannotBeMadeKeepsWhatWasThere()
    {
        QtSettingsStore store(path("kept.ini"));
        QVERIFY(store.setValues({{"Unit1", "Feet"}, {"Unit2", "Yards"}}));
        QLockFile other(path("kept.ini.lock")); // another copy of the program is writing
        QVERIFY(other.lock());
        store.setLockWait(100);
        QVERIFY(!store.setValues({{"Unit1", "Miles"}, {"Unit2", "Metres"}}));
        QVERIFY2(store.errorString().contains("another copy"), qPrintable(store.errorString()));
        other.unlock();
        QCOMPARE(store.value("Unit1"), QString("Feet"));
        QCOMPARE(store.value("Unit2"), QString("Yards"));
    }

    void twoCopiesWritingAtOnce()
    {
        QProcess a, b;
        a.start(SETTINGS_WRITER, {path("shared.ini"), "A", "100", "File1"});
        b.start(SETTINGS_WRITER, {path("shared.ini"), "B", "100", "File2"});
        // Whatever moment a reader picks, it finds no entry or a whole write; the writers' other entries
        // stay.
        QtSettingsStore reader(path("shared.ini"));
        while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
            const QString abbrev = reader.value("Abbrev").value_or("A-0");
            QVERIFY2(QRegularExpression("^(A|B)-\\d+$").match(abbrev).hasMatch(), qPrintable(abbrev));
            a.waitForFinished(1);
            b.waitForFinished(1);
        }
        for (const QProcess* copy : {&a, &b})
            QVERIFY(copy->exitStatus() == QProcess::NormalExit && copy->exitCode() == 0);
        // The last write of each copy survived the other's: nothing was lost to a concurrent write.
        QCOMPARE(reader.value("File1"), QString("A-99"));
        QCOMPARE(reader.value("File2"), QString("B-99"));
        for (const char* key : {"Unit2", "CalFact", "UnitFact", "Abbrev"})
            QCOMPARE(reader.value(key), reader.value("Unit1"));
    }

    void fileDialogFiltersByTheRealPatterns()
    {
        QVERIFY(QDir().mkpath(path("files")));
        for (const char* name : {"walk.gif", "SHEET.JPG", "notes.txt", "sheet12"})
            QVERIFY(QFile(path("files/") + name).open(QIODevice::WriteOnly));
        FileDialogRequest request;
        request.filters = {{"Maps (*.gif, *.jpg)", {"*.gif", "*.jpg"}}, {"All (*.*)", {"*.*"}}};
        request.initialFolder = path("files");
        const std::unique_ptr<QFileDialog> dialog = QtFileDialog().build(request);
        dialog->show();
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* view = dialog->findChild<QListView*>("listView");
        QVERIFY(types && view);
        const auto listed = [view] {
            QStringList names;
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                names << view->model()->index(r, 0, view->rootIndex()).data().toString();
            return names;
        };
        QCOMPARE(types->currentText(), QString("Maps (*.gif, *.jpg)")); // the description as it is
        QTRY_COMPARE(listed(), (QStringList{"SHEET.JPG", "walk.gif"})); // in any letter case
        QTest::keyClick(types, Qt::Key_Down);                           // the user picks "All (*.*)"
        QCOMPARE(QtFileDialog::selectedFilterIndex(*dialog), 2);
        // "*.*" is every file, also one without a dot in its name: Qt is given "*".
        QTRY_COMPARE(listed(), (QStringList{"notes.txt", "SHEET.JPG", "sheet12", "walk.gif"}));
    }

    void helpViewerOpensTheFileOrSaysWhyNot()
    {
        RecordingMessageBoxes boxes;
        QtHelpViewer viewer(boxes);
        viewer.showContents(path("missing.hlp"));
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].title, QString("Mapwheel Help"));
        QCOMPARE(boxes.shown[0].text,
                 "Cannot open the help file\r" + path("missing.hlp") + "\rbecause there is no such file.");
        QVERIFY(!viewer.window());
        viewer.showContents(MAPWHEEL_SOURCE_DIR "/mapwheel.hlp");
        QVERIFY(boxes.shown.size() == 1 && viewer.window());
        QCOMPARE(viewer.window()->windowTitle(), QString("Mapwheel Help Topics"));
        auto* browser = viewer.window()->findChild<QTextBrowser*>("helpBrowser");
        QVERIFY(browser && browser->toPlainText().contains("Measuring a route"));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
