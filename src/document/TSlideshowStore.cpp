#include "TSlideshowStore.h"

#include "shell/Strings.h"
#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace Lumerix {

namespace {

const QString Section = QStringLiteral("DIASHOW");

// The number of a folder named "word_number", or -1.
qint64 FolderNumber(const QString& name) {
    if (!name.contains(u'_'))
        return -1;
    bool ok = false;
    const qint64 number = Strings::ExtractWord(2, name, QStringLiteral("_")).toLongLong(&ok);
    return ok ? number : -1;
}

QStringList WorkspaceFolders(const QString& workspace) {
    return QDir(workspace).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Unsorted);
}

} // namespace

TSlideshowStore::TSlideshowStore(const TRunState& state) : State(state) {}

QString TSlideshowStore::NextShowName() const {
    qint64 largest = 0;
    QSet<qint64> taken;
    for (const QString& name : WorkspaceFolders(State.WorkspaceDir)) {
        const qint64 number = name.contains(u'.') ? -1 : FolderNumber(name);
        if (number > MaxShowNumber)
            continue;
        largest = std::max(largest, number);
        taken.insert(number);
    }
    qint64 next = largest + 1;
    if (next > MaxShowNumber) {
        for (next = 1; taken.contains(next);)
            ++next;
    }
    return FolderPrefix + Strings::PadLeft(QString::number(next), u'0', 4);
}

QStringList TSlideshowStore::ChooserEntries() const {
    QStringList names;
    for (const QString& name : WorkspaceFolders(State.WorkspaceDir)) {
        if (IsShow(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const qint64 numberA = FolderNumber(a), numberB = FolderNumber(b);
        return numberA != numberB ? numberA < numberB : a < b;
    });
    QStringList entries;
    for (const QString& name : std::as_const(names))
        entries.append(name + u' ' + ReadDescription(name).Title);
    return entries;
}

bool TSlideshowStore::IsShow(const QString& name) const {
    if (!IsShowFolderName(name))
        return false;
    // No trailing "/": with it a link to a folder would look like a real folder.
    const QFileInfo folder(State.WorkspaceDir + name);
    return folder.isDir() && !folder.isSymLink() &&
           QFileInfo(ShowDir(name) + DescriptionFile).isFile();
}

QString TSlideshowStore::FolderOfEntry(const QString& line) {
    return Strings::ExtractWord(1, line, QStringLiteral(" "));
}

QString TSlideshowStore::ShowDir(const QString& name) const {
    return State.WorkspaceDir + name + u'/';
}

bool TSlideshowStore::IsShowFolderName(const QString& name) {
    // A chooser line is the name, a blank and the title: a blank in the name would split it.
    return IsBareFileName(name) && !name.contains(u'.') &&
           !name.contains(QLatin1String("DEL"), Qt::CaseInsensitive) &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); });
}

bool TSlideshowStore::IsBareFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}

bool TSlideshowStore::IsTemplateTitle(const QString& title) {
    return title.trimmed().toUpper() == QLatin1String("SPECIALDUMMY");
}

TSlideshowStore::TDescription TSlideshowStore::ReadDescription(const QString& name) const {
    return ReadDescriptionAt(ShowDir(name));
}

TSlideshowStore::TDescription TSlideshowStore::ReadDescriptionAt(const QString& folder) {
    TDescription description;
    const QString path = QDir(folder).filePath(DescriptionFile);
    description.Exists = QFileInfo(path).isFile();
    if (!description.Exists)
        return description;
    // A huge file is no description: it reads as one with every value missing.
    const TIniFile ini(QFileInfo(path).size() <= MaxDescriptionBytes ? path : QString());
    description.Title = ini.ReadString(Section, QStringLiteral("Titel"), QString()).trimmed();
    if (IsTemplateTitle(description.Title)) {
        description.Template = true;
        description.Title.clear();
    }
    description.Seconds =
        TPreferences::ValidSeconds(ini.ReadString(Section, QStringLiteral("Time"), QString()));
    return description;
}

bool TSlideshowStore::WriteDescription(const QString& name, const QString& title,
                                       const QString& seconds, QString* error) const {
    TIniFile ini(ShowDir(name) + DescriptionFile);
    if (ini.WriteStrings(Section,
                         {{QStringLiteral("Titel"), title}, {QStringLiteral("Time"), seconds}}))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

QStringList TSlideshowStore::ReadPictureLines(const QString& name) const {
    return ReadPictureLinesAt(ShowDir(name));
}

QStringList TSlideshowStore::ReadPictureLinesAt(const QString& folder) {
    const QString path = QDir(folder).filePath(PicturesFile);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxListBytes)
        return {};
    QStringList lines = TextCodec::ReadLines(path);
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines;
}

bool TSlideshowStore::WritePictureLines(const QString& name, const QStringList& lines,
                                        QString* error) const {
    QString text;
    for (const QString& line : lines) {
        QString oneLine = line;
        oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
        text += oneLine + QStringLiteral("\r\n");
    }
    return TextCodec::WriteFileAtomic(ShowDir(name) + PicturesFile, TextCodec::EncodeLossless(text),
                                      error);
}

QList<TPictureEntry> TSlideshowStore::ReadPictures(const QString& name, int* dropped) const {
    return ReadPicturesAt(ShowDir(name), dropped);
}

QList<TPictureEntry> TSlideshowStore::ReadPicturesAt(const QString& folder, int* dropped) {
    const QDir dir(folder);
    QList<TPictureEntry> pictures;
    int skipped = 0;
    for (const QString& line : ReadPictureLinesAt(folder)) {
        TPictureEntry entry = TPictureEntry::FromPicturesLine(line, QString());
        // A line naming a path would reach outside the folder: it counts as missing.
        if (!IsBareFileName(entry.FileName) || !QFileInfo(dir.filePath(entry.FileName)).isFile()) {
            ++skipped;
            continue;
        }
        pictures.append(std::move(entry));
    }
    if (dropped)
        *dropped = skipped;
    return pictures;
}

bool TSlideshowStore::DeleteShow(const QString& name, QString* error) const {
    if (!IsShow(name)) {
        if (error)
            *error = QStringLiteral("%1: not a slideshow folder").arg(ShowDir(name));
        return false;
    }
    QDir dir(QFileInfo(State.WorkspaceDir + name).absoluteFilePath());
    if (dir.removeRecursively())
        return true;
    if (error)
        *error = QStringLiteral("%1: could not delete everything").arg(ShowDir(name));
    return false;
}

bool TSlideshowStore::DeleteShowPictures(const QString& name) const {
    const QFileInfo folder(State.WorkspaceDir + name);
    if (!IsShowFolderName(name) || !folder.isDir() || folder.isSymLink())
        return false;
    bool all = true;
    const QDir dir(folder.absoluteFilePath());
    for (const QString& file : dir.entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden))
        all = QFile::remove(dir.filePath(file)) && all;
    return all;
}

int TSlideshowStore::CleanStrayThumbnails(const QString& name) const {
    if (name.isEmpty())
        return 0;
    const QDir dir(ShowDir(name));
    QSet<QString> listed;
    for (const TPictureEntry& picture : ReadPictures(name))
        listed.insert(picture.FileName);
    int deleted = 0;
    for (const QString& file :
         dir.entryList({ThumbnailPrefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden)) {
        if (listed.contains(file) || !file.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
            continue;
        // Renewed thumbnails ("_THUMB_" + number + name) name no picture, so they go too.
        const QString picture = file.mid(ThumbnailPrefix.size());
        if (!QFileInfo::exists(dir.filePath(picture)) && QFile::remove(dir.filePath(file)))
            ++deleted;
    }
    return deleted;
}

bool TSlideshowStore::IsThumbnailName(const QString& fileName) {
    return fileName.startsWith(ThumbnailPrefix, Qt::CaseInsensitive);
}

QString TSlideshowStore::UniqueFileName(const QString& path, const QStringList& alsoTaken) {
    const QFileInfo info(path);
    const QString folder = info.path().endsWith(u'/') ? info.path() : info.path() + u'/';
    const QString name = info.fileName();
    const QString dots = QStringLiteral(".");
    const int words = Strings::WordCount(name, dots);
    QStringList baseWords;
    for (int i = 1; i < words; ++i)
        baseWords.append(Strings::ExtractWord(i, name, dots));
    const QString base = words > 1 ? baseWords.join(dots) : Strings::ExtractWord(1, name, dots);
    const QString extension =
        words > 1 ? dots + Strings::ExtractWord(words, name, dots) : QString();
    for (int n = 1;; ++n) {
        const QString candidate = base + u'_' + QString::number(n) + extension;
        if (!QFileInfo::exists(folder + candidate) &&
            !alsoTaken.contains(candidate, Qt::CaseInsensitive))
            return folder + candidate;
    }
}

} // namespace Lumerix
