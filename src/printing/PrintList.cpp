#include "PrintList.h"

#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QFile>
#include <QSaveFile>

namespace Lumerix::PrintList {

QString Path(const TRunState& state) {
    return state.ProgramFile(QStringLiteral("Print.txt"));
}

bool Write(const QString& path, const QStringList& lines, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray bytes;
        for (const QString& line : lines) {
            // A line break inside an entry would split it into two lines of the file.
            QString text = line.trimmed();
            text.replace(u'\n', u' ').replace(u'\r', u' ');
            bytes += text.toUtf8() + '\n';
        }
        QString cause;
        if (file.write(bytes) == bytes.size() && TextCodec::Commit(file, &cause))
            return true;
        if (error)
            *error = path + QStringLiteral(": ") +
                     (cause.isEmpty() ? TextCodec::WriteErrorText(file) : cause);
        file.cancelWriting();
        return false;
    }
    if (error)
        *error = path + QStringLiteral(": ") + file.errorString();
    file.cancelWriting();
    return false;
}

QStringList Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty())
            lines.append(text);
    }
    return lines;
}

} // namespace Lumerix::PrintList
