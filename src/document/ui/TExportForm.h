#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// Chooses several stored slideshows with check boxes.
class TExportForm final : public QDialog {
    Q_OBJECT
public:
    TExportForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Lists the slideshows unticked under `explanation`; the folder names of the ticked ones,
    /// empty when the window was closed.
    QStringList Choose(const QString& explanation);

private:
    void Confirm();

    const TRunState& State;
    TPrompter& Prompter;
    QLabel* DoLabel = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QPushButton* OpenBitBtn = nullptr;
};

} // namespace Lumerix
