#include "qtsettingsstore.h"
#include "scalesettings.h"
#include "unitcatalogue.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace
{
const auto noFatal = [](int16_t n) { QFAIL(qPrintable(QStringLiteral("fatal error %1").arg(n))); };

bool sameRecord(const ScaleFactors& a, const ScaleFactors& b)
{
    return a.Unit1() == b.Unit1() && a.Unit2() == b.Unit2() && a.CalFactor() == b.CalFactor() &&
           a.UnitFactor() == b.UnitFactor() && a.Abbrev() == b.Abbrev();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

ScaleFactors readAtStart(const QString& path)
{
    QtSettingsStore store(path);
    ScaleFactors f;
    ScaleSettings("Read", f, store, noFatal);
    return f;
}

bool isBuiltIn(const ScaleFactors& f)
{
    return sameRecord(f, ScaleFactors::builtInDefaults());
}
} // namespace

// The settings store on a real file: a write and a second start of the program, damaged files, stores
// that cannot be written, and two copies of the program writing at once.
class TestQtSettingsStore : public QObject
{
    Q_OBJECT
private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath("Holloway.ini");
    }

    void defaultLocationIsPerUser()
    {
        const QString path = QtSettingsStore::defaultFileName();
        QVERIFY2(path.endsWith("/Holloway/Holloway.ini"), qPrintable(path));
        QVERIFY(path.startsWith(QDir::homePath()) || qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
        QCOMPARE(QtSettingsStore().fileName(), path);
    }

    void writeThenSecondStart_data()
    {
        QTest::addColumn<int>("unit1");
        QTest::addColumn<int>("unit2");
        QTest::addColumn<float>("calFactor");
        QTest::addColumn<QByteArray>("calLine");
        QTest::addColumn<QByteArray>("factorLine");

        QTest::newRow("Feet Yards 2.5")
            << 3 << 4 << 2.5f << QByteArray("CalFact=2.5") << QByteArray("UnitFact=3");
        QTest::newRow("Miles Millimetres 0.1")
            << 7 << 0 << 0.1f << QByteArray("CalFact=0.1") << QByteArray("UnitFact=6.21371192237334E-07");
    }

    void writeThenSecondStart()
    {
        QFETCH(int, unit1);
        QFETCH(int, unit2);
        QFETCH(float, calFactor);
        QFETCH(QByteArray, calLine);
        QFETCH(QByteArray, factorLine);

        ScaleFactors defaults = ScaleFactors::forUnits(unit1, unit2, calFactor);
        {
            QtSettingsStore store(m_path);
            QVERIFY(ScaleSettings("Write", defaults, store, noFatal));
            QVERIFY(store.errorString().isEmpty());
        }
        const QByteArray text = fileBytes(m_path);
        for (const QByteArray& line : {QByteArray("[Mapwheel]"), "Unit1=" + UnitName(unit1).toLatin1(),
                                       "Abbrev=" + UnitAbbrev(unit1).toLatin1(), calLine, factorLine})
            QVERIFY2(text.contains(line), text.constData());

        QVERIFY(sameRecord(readAtStart(m_path), defaults)); // the next start, a new DefaultFactors
        QVERIFY(!ReadFirstRun(QtSettingsStore(m_path)));
    }

    void otherEntriesStay()
    {
        QtSettingsStore store(m_path);
        QList<std::pair<QString, QString>> recent;
        for (int i = 1; i <= 9; ++i)
            recent.append({QStringLiteral("File%1").arg(i), QStringLiteral("/maps/sheet %1.gif").arg(i)});
        QVERIFY(store.setValues(recent));
        QVERIFY(ReadFirstRun(store)); // recent maps alone are no saved defaults

        ScaleFactors defaults = ScaleFactors::forUnits(3, 4, 2.5f);
        QVERIFY(ScaleSettings("Write", defaults, store, noFatal));
        QVERIFY(store.setValues({{"File1", "/maps/newest.gif"}}));

        QtSettingsStore later(m_path);
        QCOMPARE(later.value("File1"), QStringLiteral("/maps/newest.gif"));
        QCOMPARE(later.value("File9"), QStringLiteral("/maps/sheet 9.gif"));
        QVERIFY(sameRecord(readAtStart(m_path), defaults));
        QCOMPARE(later.value("File10"), std::nullopt);
    }

    void textsComeBackAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma and blanks") << "/maps/a, b c.gif";
        QTest::newRow("INI specials") << "C:\\Maps\\x;y=z[1].gif";
        QTest::newRow("quotes") << "\"quoted\" name";
        QTest::newRow("non-ASCII") << QStringLiteral("/karten/Straße Ötztal.jpg");
        QTest::newRow("leading blank") << " km";
        QTest::newRow("exponent") << "6.21371192237334E-07";
    }

    void textsComeBackAsWritten()
    {
        QFETCH(QString, text);
        QVERIFY(QtSettingsStore(m_path).setValues({{"Abbrev", text}}));
        QCOMPARE(QtSettingsStore(m_path).value("Abbrev"), text);
    }

    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("content");

        const QByteArray good = "[Mapwheel]\nUnit1=Feet\nUnit2=Yards\nCalFact=2.5\nUnitFact=3\nAbbrev=ft\n";
        auto with = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };

        QByteArray binary;
        for (int i = 0; i < 2048; ++i)
            binary.append(char((i * 37 + 11) & 0xff));
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("binary") << binary;
        QTest::newRow("binary after good text") << good + binary;
        QTest::newRow("not a settings file")
            << QByteArray("<?xml version=\"1.0\"?>\n<settings unit=\"km\"/>\n");
        QTest::newRow("cut off before Abbrev") << good.left(good.indexOf("Abbrev") + 3);
        QTest::newRow("keys in another section") << with("[Mapwheel]", "[General]");
        QTest::newRow("UTF-16 text") << QByteArray(
            reinterpret_cast<const char*>(QString::fromLatin1(good).utf16()), good.size() * 2);
        QTest::newRow("CalFact not a number") << with("CalFact=2.5", "CalFact=two");
        QTest::newRow("CalFact NaN") << with("CalFact=2.5", "CalFact=nan");
        QTest::newRow("CalFact infinite") << with("CalFact=2.5", "CalFact=inf");
        QTest::newRow("CalFact beyond single") << with("CalFact=2.5", "CalFact=1E+39");
        QTest::newRow("CalFact zero") << with("CalFact=2.5", "CalFact=0");
        QTest::newRow("CalFact negative") << with("CalFact=2.5", "CalFact=-2.5");
        QTest::newRow("UnitFact beyond double") << with("UnitFact=3", "UnitFact=1E+400");
        QTest::newRow("UnitFact zero") << with("UnitFact=3", "UnitFact=0");
        QTest::newRow("Abbrev empty") << with("Abbrev=ft", "Abbrev=");
    }

    void damagedFile()
    {
        QFETCH(QByteArray, content);
        writeBytes(m_path, content);

        QVERIFY(isBuiltIn(readAtStart(m_path)));

        // The first-run setup or the next saved choice repairs the store.
        QtSettingsStore store(m_path);
        ScaleFactors defaults = ScaleFactors::forUnits(7, 0, 6.7f);
        QVERIFY2(ScaleSettings("Write", defaults, store, noFatal), qPrintable(store.errorString()));
        QVERIFY(sameRecord(readAtStart(m_path), defaults));
    }

    void storeLocation_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("no file yet") << "";
        QTest::newRow("the file is a folder") << "folder";
        QTest::newRow("its folder cannot be made") << "file";
    }

    void storeLocation()
    {
        QFETCH(QString, obstacle);
        const QString blocker = m_dir->filePath("blocker");
        const QString path = obstacle == "file" ? blocker + "/Holloway/Holloway.ini" : blocker;
        if (obstacle == "folder")
            QVERIFY(QDir().mkpath(blocker));
        else if (obstacle == "file")
            writeBytes(blocker, "not a folder");

        QtSettingsStore store(path);
        QCOMPARE(store.value("Unit1"), std::nullopt);
        QVERIFY(ReadFirstRun(store));
        QVERIFY(isBuiltIn(readAtStart(path)));
        QCOMPARE(QFileInfo::exists(path), obstacle == "folder"); // reading creates nothing
        ScaleFactors defaults = ScaleFactors::forUnits(3, 4, 2.5f);
        QCOMPARE(ScaleSettings("Write", defaults, store, noFatal), obstacle.isEmpty());
        QCOMPARE(store.errorString().isEmpty(), obstacle.isEmpty());
        if (obstacle == "folder")
            QVERIFY(QFileInfo(blocker).isDir());
        else if (obstacle == "file")
            QCOMPARE(fileBytes(blocker), QByteArray("not a folder"));
        else
            QVERIFY(sameRecord(readAtStart(path), defaults));
    }

    void blockedWriteLosesNothing_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::newRow("read-only folder") << "folder";
        QTest::newRow("read-only file") << "file";
        QTest::newRow("lock held by another copy") << "lock";
    }

    void blockedWriteLosesNothing()
    {
        QFETCH(QString, blocker);
        const bool lock = blocker == "lock";
        if (!lock && geteuid() == 0)
            QSKIP("permissions do not stop the superuser; run as an ordinary user");

        ScaleFactors saved = ScaleFactors::forUnits(3, 4, 2.5f);
        QtSettingsStore store(m_path);
        QVERIFY(ScaleSettings("Write", saved, store, noFatal));
        const QByteArray before = fileBytes(m_path);
        const QString target = blocker == "folder" ? m_dir->path() : m_path;
        const QFileDevice::Permissions old = QFile::permissions(target);
        QLockFile other(m_path + ".lock");
        if (lock) {
            QVERIFY(other.lock());
            store.setLockWait(100);
        } else {
            QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }

        ScaleFactors changed = ScaleFactors::forUnits(7, 6, 10.0f);
        const bool written = ScaleSettings("Write", changed, store, noFatal);
        const QByteArray after = fileBytes(m_path);
        const ScaleFactors next = readAtStart(m_path);
        if (lock)
            other.unlock();
        else
            QVERIFY(QFile::setPermissions(target, old));

        QVERIFY(!written);
        QVERIFY(!store.errorString().isEmpty());
        QVERIFY(!lock || store.errorString().contains("another copy"));
        QCOMPARE(after, before);
        QVERIFY(sameRecord(next, saved));
        // Unblocked, the same write goes through.
        QVERIFY(ScaleSettings("Write", changed, store, noFatal));
        QVERIFY(sameRecord(readAtStart(m_path), changed));
    }

    void twoCopiesWritingAtOnce()
    {
        QVERIFY(QtSettingsStore(m_path).setValues({{"Unit1", "init"},
                                                   {"Unit2", "init"},
                                                   {"CalFact", "init"},
                                                   {"UnitFact", "init"},
                                                   {"Abbrev", "init"}}));
        constexpr int writes = 100;
        QProcess a;
        QProcess b;
        a.start(SETTINGS_WRITER, {m_path, "A", QString::number(writes), "File1"});
        b.start(SETTINGS_WRITER, {m_path, "B", QString::number(writes), "File2"});
        QVERIFY(a.waitForStarted());
        QVERIFY(b.waitForStarted());

        // Whatever moment a reader picks, it finds a whole file.
        const QRegularExpression whole("^(init|A-\\d+|B-\\d+)$");
        QtSettingsStore reader(m_path);
        int reads = 0;
        while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
            const std::optional<QString> abbrev = reader.value("Abbrev");
            QVERIFY(abbrev.has_value());
            QVERIFY2(whole.match(*abbrev).hasMatch(), qPrintable(*abbrev));
            ++reads;
            a.waitForFinished(1);
            b.waitForFinished(1);
        }
        for (QProcess* copy : {&a, &b}) {
            QCOMPARE(copy->exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy->exitCode(), 0);
        }
        QVERIFY(reads > 0);

        // The last write of each copy survived the other's writes: nothing was lost to a concurrent write.
        QtSettingsStore after(m_path);
        QCOMPARE(after.value("File1"), QStringLiteral("A-%1").arg(writes - 1));
        QCOMPARE(after.value("File2"), QStringLiteral("B-%1").arg(writes - 1));
        const QString last = *after.value("Unit1");
        QVERIFY(last == QStringLiteral("A-%1").arg(writes - 1) ||
                last == QStringLiteral("B-%1").arg(writes - 1));
        for (const char* key : {"Unit2", "CalFact", "UnitFact", "Abbrev"})
            QCOMPARE(after.value(key), last);
        QVERIFY(!QFile::exists(m_path + ".lock"));
    }
};

QTEST_GUILESS_MAIN(TestQtSettingsStore)
#include "tst_qtsettingsstore.moc"
