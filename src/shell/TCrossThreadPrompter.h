#pragma once

#include "TPrompter.h"

#include <QObject>

namespace Lumerix {

/// Lets a job on a worker thread ask the user: each call runs on the thread of `owner` (the
/// window thread) through the window's prompter, and the job waits for the answer. Calls made
/// on the owner's own thread go straight through.
class TCrossThreadPrompter final : public TPrompter {
public:
    /// `owner` lives on the thread that may show dialogs; both must outlive this object.
    TCrossThreadPrompter(TPrompter& target, QObject& owner) : Target(target), Owner(owner) {}

    void Information(const QString& text) override;
    void Error(const QString& text) override;
    bool Confirm(const QString& text) override;
    void PlainError(const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QStringList ChooseFiles(const QString& title, const QString& startFolder, const QString& filter,
                            bool multiple) override;

private:
    template <typename TCall> auto OnOwnerThread(TCall call);

    TPrompter& Target;
    QObject& Owner;
};

} // namespace Lumerix
