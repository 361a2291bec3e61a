#include "qtsettingsstore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace
{
QByteArray contents(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool write(const QString& fileName, const QByteArray& bytes)
{
    QFile f(fileName);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// While it lives, no file of this process may grow past `bytes`: a write beyond fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
} // namespace

namespace QTest
{
template <>
char* toString(const std::optional<QString>& value)
{
    return value ? toString(*value) : qstrdup("nothing");
}
} // namespace QTest

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

    void handEditedValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << QByteArray("Abbrev=km") << "km";
        QTest::newRow("quoted comma") << QByteArray("Abbrev=\"km, mi\"") << "km, mi";
        // The INI reader splits an unquoted comma into a list; it comes back joined.
        QTest::newRow("comma and space") << QByteArray("Abbrev=km, mi") << "km, mi";
        QTest::newRow("comma alone") << QByteArray("Abbrev=/maps/a,b.gif") << "/maps/a, b.gif";
    }
    void handEditedValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        const QString file = path(QStringLiteral("hand-%1.ini").arg(QTest::currentDataTag()));
        QVERIFY(write(file, "[Mapwheel]\n" + line + "\n"));
        QCOMPARE(QtSettingsStore(file).value("Abbrev"), value);
    }

    void damagedOrUnreadableReadsAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a folder where the file should be
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("damage after good text") << QByteArray("[Mapwheel]\nUnit1=Feet\n[broken\n");
        QTest::newRow("a line that is no entry") << QByteArray("[Mapwheel]\nUnit1=Feet\nbroken\n");
        QTest::newRow("damage in another section") << QByteArray("[Mapwheel]\nUnit1=Feet\n[Other]\nbroken\n");
        QTest::newRow("another section") << QByteArray("[General]\nUnit1=Feet\n");
        QTest::newRow("a folder") << QByteArray();
    }
    void damagedOrUnreadableReadsAsAbsent()
    {
        QFETCH(QByteArray, content);
        const QString file = path(QTest::currentDataTag());
        QVERIFY(content.isNull() ? QDir().mkpath(file) : write(file, content));
        QtSettingsStore store(file);
        QCOMPARE(store.value("Unit1"), std::nullopt);
        QCOMPARE(store.value("Unit1"), std::nullopt); // also once the file's text is known to the process
        QCOMPARE(QtSettingsStore(file).value("Unit1"), std::nullopt);
        // A damaged file is written afresh; a folder in its way stays, and the write says it failed.
        QCOMPARE(store.setValues({{"Unit2", "Yards"}}), !content.isNull());
        QCOMPARE(store.value("Unit2"), content.isNull() ? std::nullopt : std::optional<QString>("Yards"));
        QCOMPARE(store.value("Unit1"), std::nullopt);
    }

    void aWriteThatCannotBeMadeKeepsWhatWasThere_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("read-only file") << "file";
        QTest::newRow("read-only folder") << "folder";
        // Room for QSettings' lock file but not for the new text: on Qt 6.4 QSaveFile would still put the
        // cut-short text in place.
        QTest::newRow("full disk") << "disk";
    }
    void aWriteThatCannotBeMadeKeepsWhatWasThere()
    {
        QFETCH(QString, obstacle);
        const QString folder = path(QStringLiteral("kept-%1").arg(obstacle));
        const QString file = folder + QStringLiteral("/settings.ini");
        QtSettingsStore store(file);
        QVERIFY(store.setValues({{"Unit1", "Feet"}, {"Unit2", "Yards"}}));
        const QByteArray before = contents(file);
        const QStringList entriesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);

        const QList<std::pair<QString, QString>> entries{{"Unit1", QString(4000, 'M')}, {"Unit2", "Metres"}};
        bool written = true;
        if (obstacle == "disk") {
            const FileSizeLimit limit(1000);
            written = store.setValues(entries);
        } else {
            const QString readOnly = obstacle == "file" ? file : folder;
            QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
            const bool mayWriteAnyway = QFileInfo(readOnly).isWritable();
            if (!mayWriteAnyway)
                written = store.setValues(entries);
            QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            if (mayWriteAnyway)
                QSKIP("this user may write read-only files");
        }
        QVERIFY(!written);
        QVERIFY2(store.errorString().contains(file), qPrintable(store.errorString()));
        if (obstacle == "disk") { // a limit that leaves room is no obstacle
            const FileSizeLimit roomy(1 << 20);
            QVERIFY(QtSettingsStore(path("roomy.ini")).setValues({{"Unit1", "Feet"}}));
        }
        QCOMPARE(contents(file), before);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore); // no leftovers
        // Refused before QSettings took the entries in: it holds none to write later.
        QCOMPARE(store.value("Unit1"), QString("Feet"));
        QCOMPARE(store.value("Unit2"), QString("Yards"));
    }

    void aWriteWaitsForAnotherCopysWrite()
    {
        const QString file = path("waited.ini");
        QtSettingsStore store(file);
        QVERIFY(store.setValues({{"File1", "kept"}}));
        QProcess holder; // another copy, stopped in the middle of its write
        holder.start(SETTINGS_WRITER, {file, "--hold-lock"});
        QVERIFY(holder.waitForReadyRead(10000));
        QProcess writer;
        writer.start(SETTINGS_WRITER, {file, "B", "1", "File2"});
        QVERIFY(writer.waitForStarted());
        QVERIFY(!writer.waitForFinished(1000)); // it waits rather than writes or gives up
        QCOMPARE(store.value("File2"), std::nullopt);
        // The holder dies without letting go: its lock is taken over.
        holder.kill();
        QVERIFY(holder.waitForFinished()); // reaped: until then it counts as running
        QVERIFY(writer.waitForFinished(30000));
        QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 0,
                 writer.readAllStandardError().constData());
        QCOMPARE(store.value("File1"), QString("kept"));
        QCOMPARE(store.value("File2"), QString("B-0"));
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
        // The last write of each copy survived the other's: nothing was lost to a concurrent write. This is
        // read from the text of the file: QSettings in this process may have missed the very last write, as it
        // tells versions apart by size and time only and the last two can share both.
        const QString text = QString::fromUtf8(contents(path("shared.ini")));
        QVERIFY2(text.contains("\nFile1=A-99\n") && text.contains("\nFile2=B-99\n"), qPrintable(text));
        const QString last = QRegularExpression("\nUnit1=([AB]-\\d+)\n").match(text).captured(1);
        for (const char* key : {"Unit2", "CalFact", "UnitFact", "Abbrev"})
            QVERIFY2(text.contains(QStringLiteral("\n%1=%2\n").arg(key, last)), qPrintable(text));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
