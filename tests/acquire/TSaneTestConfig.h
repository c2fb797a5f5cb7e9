#pragma once

#include "acquire/TScanner.h"
#include "support/TTestKit.h"

#include <QString>
#include <QTemporaryDir>

namespace Lumerix::AcquireTesting {

/// SANE reads its configuration once per process, so every test of this program shares one
/// folder that offers only the "test" backend with its two devices. The first call writes it
/// and points `SANE_CONFIG_DIR` at it, before anything initialises SANE.
inline QString SaneTestConfig() {
    static QTemporaryDir folder;
    static const bool written = [] {
        TTestKit::WriteFile(folder.filePath("dll.conf"), "test\n");
        TTestKit::WriteFile(folder.filePath("test.conf"), "number_of_devices 2\n");
        qputenv("SANE_CONFIG_DIR", folder.path().toUtf8());
        return true;
    }();
    Q_UNUSED(written);
    return folder.path();
}

/// The test backend keeps each device's options for the whole process: puts both devices back
/// into the state SANE starts them in, so tests do not depend on their order.
inline void ResetTestDevices() {
    SaneTestConfig();
    for (const char* name : {"test:0", "test:1"}) {
        TScanner scanner;
        if (scanner.Open(QString::fromLatin1(name)) != ScanSuccess)
            continue;
        // Three-pass is set while colour makes it active.
        scanner.Apply({{"mode", "Color"}, {"three-pass", false}});
        scanner.Apply({{"mode", "Gray"},
                       {"depth", 8},
                       {"hand-scanner", false},
                       {"resolution", 50},
                       {"test-picture", "Solid black"},
                       {"tl-x", 0.0},
                       {"tl-y", 0.0},
                       {"br-x", 80.0},
                       {"br-y", 100.0}});
    }
}

} // namespace Lumerix::AcquireTesting
