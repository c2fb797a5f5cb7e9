// INI files: every read, then a write back, then the same reads once more.
#include "FuzzInput.h"

#include "shell/TIniFile.h"

#include <QFile>

#include <cstdlib>

namespace {

QStringList Snapshot(const Lumerix::TIniFile& ini) {
    QStringList all;
    for (const QString& section : ini.Sections()) {
        for (const QString& line : ini.ReadSection(section)) {
            const QString key = line.section(u'=', 0, 0);
            all.append(section + u'/' + key + u'=' +
                       ini.ReadString(section, key, QStringLiteral("\x01")));
        }
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    const QString path = Fuzz::InputFile(".ini", data, size);
    TIniFile ini(path);
    for (const QString& section : ini.Sections()) {
        for (const QString& key : ini.ReadSection(section)) {
            ini.ReadString(section, key, QString());
            ini.ReadInteger(section, key, 7);
            ini.ReadBool(section, key, true);
            ini.ValueExists(section, key);
        }
    }
    ini.ReadString(QStringLiteral("DIASHOW"), QStringLiteral("Titel"), QString());
    ini.ReadInteger(QStringLiteral("SETTINGS"), QStringLiteral("Effect"), 0);

    // A write replaces one key, keeps every other key it can see and reads back as written.
    const QString section = ini.Sections().value(0, QStringLiteral("SETTINGS"));
    const QString value = QStringLiteral("written value");
    if (!ini.WriteString(section, QStringLiteral("FuzzKey"), value))
        std::abort();
    TIniFile again(path);
    if (again.ReadString(section, QStringLiteral("FuzzKey"), QString()) != value)
        std::abort();
    again.WriteInteger(QStringLiteral("Other"), QStringLiteral("Number"), 42);
    again.DeleteKey(section, QStringLiteral("FuzzKey"));
    if (TIniFile(path).ReadInteger(QStringLiteral("Other"), QStringLiteral("Number"), 0) != 42)
        std::abort();
    Snapshot(TIniFile(path));
    return 0;
}
