#include "TGallerySettings.h"

#include "shell/TIniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace Lumerix {

namespace {

const QString SettingsSection = QString::fromLatin1(TGallerySettings::Section);

bool IsTrue(const QString& text) {
    return text.trimmed().toUpper() == u"TRUE";
}

qint64 ReadNumber(const TIniFile& ini, const char* key, qint64 fallback) {
    bool ok = false;
    const qint64 value = ini.ReadString(SettingsSection, QString::fromLatin1(key), QString())
                             .trimmed()
                             .toLongLong(&ok);
    return ok ? value : fallback;
}

QString BoolText(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

} // namespace

TGallerySettings TGallerySettings::Read(const QString& settingsFile, const QString& defaultsFile) {
    const TIniFile ini(settingsFile, defaultsFile);
    TGallerySettings settings;
    settings.SmallPicX =
        ini.ReadString(SettingsSection, QStringLiteral("SmallPicX"), settings.SmallPicX);
    settings.LargePicX =
        ini.ReadString(SettingsSection, QStringLiteral("LargePicX"), settings.LargePicX);
    settings.Compression = int(ReadNumber(ini, "Compression", settings.Compression));
    settings.PicProRow = std::max(1, int(ReadNumber(ini, "PicProRow", settings.PicProRow)));
    settings.BKGColor = ReadNumber(ini, "BKGColor", settings.BKGColor);
    settings.TextColor = ReadNumber(ini, "TextColor", settings.TextColor);
    settings.TextVisible =
        IsTrue(ini.ReadString(SettingsSection, QStringLiteral("TextVisible"), {}));
    settings.FilenameVisible =
        IsTrue(ini.ReadString(SettingsSection, QStringLiteral("FilenameVisible"), {}));
    settings.ShapeVisible = IsTrue(
        ini.ReadString(SettingsSection, QStringLiteral("ShapeVisible"), QStringLiteral("TRUE")));
    settings.Style = ini.ReadString(SettingsSection, QStringLiteral("Style"), {})
                                 .trimmed()
                                 .compare(u"Modern", Qt::CaseInsensitive) == 0
                         ? TStyle::Modern
                         : TStyle::Classic;
    settings.DetailsVisible =
        IsTrue(ini.ReadString(SettingsSection, QStringLiteral("DetailsVisible"), {}));
    return settings;
}

bool TGallerySettings::Write(const QString& settingsFile, const QString& defaultsFile,
                             QString* error) const {
    if (!PrepareSettingsFile(settingsFile, defaultsFile, error))
        return false;
    TIniFile ini(settingsFile);
    const bool written = ini.WriteStrings(
        SettingsSection,
        {{QStringLiteral("SmallPicX"), SmallPicX},
         {QStringLiteral("LargePicX"), LargePicX},
         {QStringLiteral("Compression"), QString::number(Compression)},
         {QStringLiteral("PicProRow"), QString::number(PicProRow)},
         {QStringLiteral("TextColor"), QString::number(TextColor)},
         {QStringLiteral("BKGColor"), QString::number(BKGColor)},
         {QStringLiteral("TextVisible"), BoolText(TextVisible)},
         {QStringLiteral("FilenameVisible"), BoolText(FilenameVisible)},
         {QStringLiteral("ShapeVisible"), BoolText(ShapeVisible)},
         {QStringLiteral("Style"),
          Style == TStyle::Modern ? QStringLiteral("Modern") : QStringLiteral("Classic")},
         {QStringLiteral("DetailsVisible"), BoolText(DetailsVisible)}});
    if (!written && error)
        *error = ini.LastError();
    return written;
}

bool TGallerySettings::Set(const QString& key, const QString& value, QString* error) {
    auto fail = [&](const QString& cause) {
        if (error)
            *error = cause;
        return false;
    };
    const QString text = value.trimmed();
    auto digits = [&](int most) {
        return QRegularExpression(QStringLiteral("^\\d{1,%1}$").arg(most)).match(text).hasMatch();
    };
    auto is = [&](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("SmallPicX") || is("LargePicX")) {
        if (!digits(4))
            return fail(QStringLiteral("%1 needs a whole number of up to four digits").arg(key));
        (is("SmallPicX") ? SmallPicX : LargePicX) = text;
    } else if (is("PicProRow")) {
        if (!digits(2))
            return fail(QStringLiteral("PicProRow needs a whole number of up to two digits"));
        PicProRow = std::max(1, text.toInt());
    } else if (is("Compression")) {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("Compression needs a whole number"));
        Compression = number;
    } else if (is("BKGColor") || is("TextColor")) {
        bool ok = false;
        const qint64 colour = text.toLongLong(&ok);
        if (!ok || colour < 0 || colour > 0xFFFFFF)
            return fail(QStringLiteral("%1 needs a colour value from 0 to 16777215").arg(key));
        (is("BKGColor") ? BKGColor : TextColor) = colour;
    } else if (is("Style")) {
        const bool modern = text.compare(u"Modern", Qt::CaseInsensitive) == 0;
        if (!modern && text.compare(u"Classic", Qt::CaseInsensitive) != 0)
            return fail(QStringLiteral("Style needs Classic or Modern"));
        Style = modern ? TStyle::Modern : TStyle::Classic;
    } else if (is("DetailsVisible")) {
        const QString upper = text.toUpper();
        if (upper != u"TRUE" && upper != u"FALSE")
            return fail(QStringLiteral("DetailsVisible needs TRUE or FALSE"));
        DetailsVisible = upper == u"TRUE";
    } else if (is("TextVisible") || is("FilenameVisible") || is("ShapeVisible")) {
        const QString upper = text.toUpper();
        if (upper != u"TRUE" && upper != u"FALSE")
            return fail(QStringLiteral("%1 needs TRUE or FALSE").arg(key));
        (is("TextVisible")       ? TextVisible
         : is("FilenameVisible") ? FilenameVisible
                                 : ShapeVisible) = upper == u"TRUE";
    } else {
        return fail(QStringLiteral("not a gallery setting: \"%1\" (one of SmallPicX, LargePicX, "
                                   "Compression, PicProRow, BKGColor, TextColor, TextVisible, "
                                   "FilenameVisible, ShapeVisible, Style, DetailsVisible)")
                        .arg(key));
    }
    return true;
}

bool PrepareSettingsFile(const QString& path, const QString& seedPath, QString* error) {
    constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (QFileInfo::exists(path)) {
        // Later writes replace the file and keep these permissions.
        constexpr QFile::Permissions Others = QFile::ReadGroup | QFile::WriteGroup |
                                              QFile::ExeGroup | QFile::ReadOther |
                                              QFile::WriteOther | QFile::ExeOther;
        if ((QFile::permissions(path) & Others) && !QFile::setPermissions(path, OwnerOnly)) {
            if (error)
                *error = QStringLiteral("%1: cannot restrict the permissions").arg(path);
            return false;
        }
        return true;
    }
    QByteArray seed;
    if (!seedPath.isEmpty()) {
        QFile defaults(seedPath);
        if (defaults.open(QIODevice::ReadOnly))
            seed = defaults.readAll();
    }
    // Written beside the target and renamed into place, so a crash never leaves an empty or
    // half-seeded file that later runs would take for the settings. A temporary file is
    // created owner-only, so the password never sits in a readable file.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(seed) != seed.size() || !file.flush() ||
        !file.setPermissions(OwnerOnly) || !file.rename(path)) {
        // Another run that created it first is as good.
        if (QFileInfo::exists(path))
            return true;
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

} // namespace Lumerix
