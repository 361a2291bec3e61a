#include "qtsettingsstore.h"

#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The settings store on a real file.
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
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
