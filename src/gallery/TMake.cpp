#include "TMake.h"

#include "GalleryPages.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace Lumerix {

namespace {

// The file in `base`'s folder whose name matches base + `extension` in any letter case.
QString TemplateFile(const QString& base, const QString& extension) {
    const QFileInfo info(base + extension);
    const QString exact = info.absoluteFilePath();
    if (info.exists())
        return exact;
    for (const QString& name : info.dir().entryList(QDir::Files | QDir::Hidden)) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return info.dir().filePath(name);
    }
    return exact;
}

} // namespace

TMake::TMake(const QString& templateBase, QString outputFile) : OutputFile(std::move(outputFile)) {
    for (auto [extension, lines] : {std::pair{".ht1", &Head}, std::pair{".ht2", &Tail}}) {
        const QString path = TemplateFile(templateBase, QString::fromLatin1(extension));
        if (!QFileInfo(path).isFile()) {
            Error_ = QStringLiteral("%1: template not found").arg(path);
            return;
        }
        *lines = TextCodec::ReadLines(path);
    }
}

bool TMake::Write() {
    if (!Ok())
        return false;
    return WriteLines(OutputFile, Head + Body + Tail, &Error_);
}

bool TMake::WriteLines(const QString& path, const QStringList& lines, QString* error, bool utf8) {
    QByteArray bytes;
    for (const QString& line : lines) {
        // Non-ASCII becomes references, so the pages need no declared encoding.
        bytes += utf8 ? line.toUtf8() : GalleryPages::AsciiReferences(line).toLatin1();
        bytes += '\n';
    }
    QString cause;
    if (!TextCodec::WriteFileAtomic(path, bytes, &cause)) {
        if (error)
            *error = QStringLiteral("%1: cannot write: %2").arg(path, cause);
        return false;
    }
    return true;
}

} // namespace Lumerix
