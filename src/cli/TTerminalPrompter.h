#pragma once

#include "shell/TProgress.h"
#include "shell/TPrompter.h"

namespace Lumerix {

/// Messages on the terminal: information on standard output, errors on standard error.
/// Confirmations are answered by `--yes`, else asked when standard input is a terminal and
/// refused otherwise. Choosers are never answered, so a command that needs one fails.
class TTerminalPrompter final : public TPrompter {
public:
    explicit TTerminalPrompter(bool assumeYes) : AssumeYes(assumeYes) {}

    void Information(const QString& text) override;
    void Error(const QString& text) override;
    bool Confirm(const QString& text) override;
    void PlainError(const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QStringList ChooseFiles(const QString& title, const QString& startFolder, const QString& filter,
                            bool multiple) override;

private:
    bool AssumeYes;
};

/// A progress line on standard error, redrawn in place; silent when that is not a terminal.
class TTerminalProgress final : public TProgress {
public:
    ~TTerminalProgress() override;
    void SetStatus(const QString& text) override;
    void SetPercent(int percent) override;
    bool Cancelled() const override { return false; }

private:
    void Draw();

    QString Status;
    int Percent = -1;
    bool Drawn = false;
};

} // namespace Lumerix
