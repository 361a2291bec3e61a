#pragma once

#include "fakeplatform.h"
#include "frmmain.h"
#include "program.h"

#include <QTest>

// The whole program with its desktop services replaced by recorders.
struct Harness {
    RecordingMessageBoxes messages;
    MemorySettingsStore store;
    ScriptedFileDialog dialog;
    RecordingHelpViewer help;
    RecordingExit exit;
    Program program{PlatformServices{messages, store, dialog, help, exit}};

    Harness() { program.splashInterval = 1; }
    FrmMain& main() { return program.frmMain(); }
    QString lastTitle() const { return messages.shown.isEmpty() ? QString() : messages.shown.last().title; }
};

inline QString sampleMap(const char* name)
{
    return QStringLiteral(MW_SOURCE_DIR "/Maps/") + QLatin1String(name);
}

// The five defaults as a previous run left them: not the first run on this computer.
inline void storeDefaults(MemorySettingsStore& store)
{
    store.entries.insert(QStringLiteral("Unit1"), QStringLiteral("Kilometres"));
    store.entries.insert(QStringLiteral("Unit2"), QStringLiteral("Miles"));
    store.entries.insert(QStringLiteral("CalFact"), QStringLiteral("1"));
    store.entries.insert(QStringLiteral("UnitFact"), QStringLiteral("1.609344"));
    store.entries.insert(QStringLiteral("Abbrev"), QStringLiteral("km"));
}

// A start that is not the first on this computer, answering the file dialog with `map`.
inline void startWith(Harness& h, const QString& map)
{
    storeDefaults(h.store);
    h.dialog.answers << map;
    h.program.Main();
}
