#pragma once

#include "QtPrinters.h"
#include "shell/TPrompter.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace Lumerix {

/// A prompter for tests: records every message and answers from a script.
class TScriptedPrompter final : public TPrompter {
public:
    enum class TKind { Information, Error, Confirm, PlainError, ChooseFolder, ChooseFiles };
    struct TMessage {
        TKind Kind;
        QString Text;
    };

    void Information(const QString& text) override { Messages.append({TKind::Information, text}); }
    void Error(const QString& text) override { Messages.append({TKind::Error, text}); }
    void PlainError(const QString& text) override { Messages.append({TKind::PlainError, text}); }
    /// Answers from `Answers`; No once they run out.
    bool Confirm(const QString& text) override;
    /// Answers from `Folders`; cancelled once they run out.
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QStringList ChooseFiles(const QString& title, const QString& startFolder, const QString& filter,
                            bool multiple) override;

    QList<TMessage> OfKind(TKind kind) const;

    QQueue<bool> Answers;
    QQueue<QString> Folders;
    QQueue<QStringList> Files;
    QList<TMessage> Messages;
};

} // namespace Lumerix
