#include "qtsettingsstore.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
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
    void aFileAsFound_data()
    {
        QTest::addColumn<QString>("content"); // null: a folder where the file should be
        QTest::addColumn<QString>("abbrev");  // null: the file reads as holding none
        QTest::newRow("quoted comma") << "[Mapwheel]\nAbbrev=\"km, mi\"\n" << "km, mi";
        // The INI reader splits an unquoted comma into a list; it comes back joined.
        QTest::newRow("comma") << "[Mapwheel]\nAbbrev=/maps/a,b.gif\n" << "/maps/a, b.gif";
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("damage after good text") << "[Mapwheel]\nAbbrev=km\n[broken\n" << QString();
        QTest::newRow("damage in another section") << "[Mapwheel]\nAbbrev=km\n[Other]\nbroken\n" << QString();
        QTest::newRow("another section") << "[General]\nAbbrev=km\n" << QString();
        QTest::newRow("a folder") << QString() << QString();
    }
    void aFileAsFound()
    {
        QFETCH(QString, content);
        QFETCH(QString, abbrev);
        const std::optional<QString> found = abbrev.isNull() ? std::nullopt : std::optional(abbrev);
        const QString file = path(QTest::currentDataTag());
        QCOMPARE(QtSettingsStore(file).value("Abbrev"), std::nullopt); // no file yet
        QVERIFY(content.isNull() ? QDir().mkpath(file) : write(file, content.toUtf8()));
        QtSettingsStore store(file);
        QCOMPARE(store.value("Abbrev"), found);
        QCOMPARE(store.value("Abbrev"), found); // also once the file's text is known to the process
        QCOMPARE(QtSettingsStore(file).value("Abbrev"), found);
        // Values come back as written. A damaged file is written afresh, a hand-edited one keeps its entries;
        // a folder in its way stays, and the write says it failed.
        for (const QString text : {"/maps/a, b c.gif", "C:\\Maps\\x;y=z[1].gif", "\"quoted\" km",
                                   "/karten/Straße.jpg", "6.21371192237334E-07"}) {
            QCOMPARE(store.setValues({{"Unit2", text}}), !content.isNull());
            QCOMPARE(store.value("Unit2"), content.isNull() ? std::nullopt : std::optional(text));
        }
        QCOMPARE(store.value("Abbrev"), found);
    }

    // A save with something in its way is refused before anything changes, or made whatever is left of other
    // copies' saves beside the file; either way at once, or within about a second.
    void somethingInTheWay_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<int>("age");     // of the lock file, in seconds
        QTest::addColumn<int>("nested");  // leftovers of removing a stale lock: <lock>.rmlock, .rmlock.rmlock
        QTest::addColumn<QString>("why"); // null: it is saved
        QTest::newRow("read-only file") << "file" << 0 << 0 << "cannot write";
        QTest::newRow("read-only folder") << "folder" << 0 << 0 << "cannot create files beside";
        // Room for QSettings' lock file but not for the new text: on Qt 6.4 QSaveFile would still put the
        // cut-short text in place.
        QTest::newRow("full disk") << "disk" << 0 << 0 << "no room on the disk";
        QTest::newRow("a live copy's lock") << "alive" << 0 << 0 << "another copy of Mapwheel is saving";
        QTest::newRow("a killed copy's lock") << "killed" << 0 << 0 << QString();
        QTest::newRow("empty lock") << "" << 0 << 0 << QString();
        QTest::newRow("empty lock, old") << "" << 10 << 0 << QString();
        // As deep as they go: the next name would be longer than a file name may be.
        QTest::newRow("nested leftovers") << "killed" << 0 << 34 << QString();
    }
    void somethingInTheWay()
    {
        QFETCH(QString, obstacle);
        QFETCH(int, age);
        QFETCH(int, nested);
        QFETCH(QString, why);
        const QString folder = path(QStringLiteral("in the way, %1").arg(QTest::currentDataTag()));
        const QString file = folder + "/Holloway.ini", lock = file + ".lock"; // as long as the real names
        QtSettingsStore store(file);
        QVERIFY(QDir().mkpath(folder) && store.setValues({{"Unit1", "Feet"}, {"Unit2", "Yards"}}));
        QProcess copy; // another copy, stopped in the middle of its save
        if (obstacle == "alive" || obstacle == "killed") {
            copy.start(SETTINGS_WRITER, {file, "--hold-lock"});
            QVERIFY(copy.waitForReadyRead(10000));
        }
        // Reaped too: until then it counts as running.
        const auto killCopy = [&] { return copy.kill(), copy.waitForFinished(); };
        QVERIFY(obstacle != "killed" || killCopy());
        if (obstacle == "killed" || obstacle.isEmpty()) {
            QFile lockFile(lock); // an empty one unless the copy wrote it
            QVERIFY(lockFile.open(QIODevice::ReadWrite));
            QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-age),
                                         QFile::FileModificationTime));
            const QByteArray text = lockFile.readAll();
            QString name = lock;
            for (int depth = 0; depth < nested; ++depth)
                QVERIFY(write(name += ".rmlock", text));
        }
        const QStringList entriesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
        const bool readOnly = obstacle == "file" || obstacle == "folder";
        const QString blocked = obstacle == "file" ? file : folder;
        const auto writable = qScopeGuard(
            [&] { QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        QVERIFY(!readOnly || QFile::setPermissions(blocked, QFile::ReadOwner | QFile::ExeOwner));
        if (readOnly && QFileInfo(blocked).isWritable())
            QSKIP("this user may write read-only files");

        const int length = obstacle == "disk" ? 20000 : 4000;
        const QDeadlineTimer start = QDeadlineTimer::current();
        const bool written = [&] { // a limit that leaves room is no obstacle
            const FileSizeLimit limit(obstacle == "disk" ? 20000 : 1 << 20);
            return store.setValues({{"Unit1", QString(length, 'M')}, {"Unit2", "Metres"}});
        }();
        QCOMPARE_LT(QDeadlineTimer::current() - start, 1500);
        const QString error = store.errorString();
        QVERIFY2(written ? why.isNull() : error.contains(why) && error.contains(file), qPrintable(error));
        QCOMPARE(contents(file),
                 written ? "[Mapwheel]\nUnit1=" + QByteArray(length, 'M') + "\nUnit2=Metres\n"
                         : "[Mapwheel]\nUnit1=Feet\nUnit2=Yards\n");
        // Nothing is left beside the file.
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden),
                 (written ? QStringList{".", "..", "Holloway.ini"} : entriesBefore));
        // A refused save was refused before QSettings took the entries in: it holds none to write later.
        QCOMPARE(store.value("Unit2"), written ? "Metres" : "Yards");
        killCopy(); // the live copy
    }

    // Two copies save again and again at once: first to the end, then in 30 rounds killed at random moments.
    // Whenever the file is read it holds one whole save, with the other copy's last entry in it.
    void copiesSavingAtOnce()
    {
        const QString file = path("shared.ini");
        QVERIFY(write(file, "[Mapwheel]\nAbbrev=A-0\nCalFact=A-0\nFile1=A-0\nFile2=B-0\nUnit1=A-0\n"
                            "Unit2=A-0\nUnitFact=A-0\n"));
        const QRegularExpression whole("^\\[Mapwheel\\]\nAbbrev=([AB]-\\d+)\nCalFact=\\1\nFile1=A-\\d+\n"
                                       "File2=B-\\d+\nUnit1=\\1\nUnit2=\\1\nUnitFact=\\1\n$");
        for (int round = 0; round <= 30; ++round) {
            QProcess a, b;
            a.start(SETTINGS_WRITER, {file, "A", "100", "File1"});
            b.start(SETTINGS_WRITER, {file, "B", "100", "File2"});
            QVERIFY(a.waitForReadyRead(10000) && b.waitForReadyRead(10000)); // both are saving
            const QDeadlineTimer killed(QRandomGenerator::global()->bounded(20));
            while (round ? !killed.hasExpired() : a.state() || b.state()) {
                const QByteArray text = contents(file);
                QVERIFY2(whole.match(text).hasMatch(), text.constData());
                a.waitForFinished(1);
                b.waitForFinished(1);
            }
            for (QProcess* copy : {&a, &b}) // and reaped: until then it counts as running
                copy->kill(), copy->waitForFinished();
            // Nothing was lost to a concurrent save: each copy's last one survived the other's.
            const QByteArray text = contents(file);
            QVERIFY2(round || (!a.exitCode() && !b.exitCode() && text.contains("\nFile1=A-99\nFile2=B-99\n")),
                     text);
        }
        // What a copy killed while writing its new text leaves beside the file goes once it is a minute old.
        for (const char* left : {".Ab12Cd", ".Ef34Gh"}) {
            QFile half(file + left);
            QVERIFY(half.open(QIODevice::WriteOnly) && half.write("[Mapwheel]\nFile1=half") && half.flush() &&
                    half.setFileTime(QDateTime::currentDateTime().addSecs(left[1] == 'A' ? -61 : -50),
                                     QFileDevice::FileModificationTime));
        }
        const QDeadlineTimer start = QDeadlineTimer::current();
        QtSettingsStore store(file);
        QVERIFY2(store.setValues({{"File1", "A-100"}}), qPrintable(store.errorString()));
        QCOMPARE_LT(QDeadlineTimer::current() - start, 1000);
        QVERIFY(whole.match(contents(file)).hasMatch());
        // The killed copies may have left younger ones; the lock files are gone whatever happened.
        const QStringList beside = QDir(m_dir.path()).entryList({"shared.ini.*"}, QDir::Files | QDir::Hidden);
        QVERIFY2(!beside.contains("shared.ini.Ab12Cd") && beside.contains("shared.ini.Ef34Gh") &&
                     beside.filter(".lock").isEmpty(),
                 qPrintable(beside.join(" ")));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
