#include "TScriptedPrompter.h"

namespace Lumerix {

bool TScriptedPrompter::Confirm(const QString& text) {
    Messages.append({TKind::Confirm, text});
    return !Answers.isEmpty() && Answers.dequeue();
}

QString TScriptedPrompter::ChooseFolder(const QString& title, const QString&) {
    Messages.append({TKind::ChooseFolder, title});
    return Folders.isEmpty() ? QString() : Folders.dequeue();
}

QStringList TScriptedPrompter::ChooseFiles(const QString& title, const QString&, const QString&,
                                           bool) {
    Messages.append({TKind::ChooseFiles, title});
    return Files.isEmpty() ? QStringList() : Files.dequeue();
}

QList<TScriptedPrompter::TMessage> TScriptedPrompter::OfKind(TKind kind) const {
    QList<TMessage> found;
    for (const TMessage& message : Messages) {
        if (message.Kind == kind)
            found.append(message);
    }
    return found;
}

} // namespace Lumerix
