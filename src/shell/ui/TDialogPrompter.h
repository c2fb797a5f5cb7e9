#pragma once

#include "shell/TPrompter.h"

class QWidget;

namespace Lumerix {

/// Message boxes and file dialogs of the windows.
class TDialogPrompter final : public TPrompter {
public:
    /// `parent` (may be null) owns the boxes so they stay above the main window.
    explicit TDialogPrompter(QWidget* parent = nullptr) : Parent(parent) {}
    void SetParent(QWidget* parent) { Parent = parent; }

    void Information(const QString& text) override;
    void Error(const QString& text) override;
    bool Confirm(const QString& text) override;
    void PlainError(const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QStringList ChooseFiles(const QString& title, const QString& startFolder, const QString& filter,
                            bool multiple) override;

private:
    QWidget* Parent;
};

} // namespace Lumerix
