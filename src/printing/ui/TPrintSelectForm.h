#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// The pictures to print: a check list of the picture-list entries with their thumbnails.
/// Print writes the ticked entries to "Print.txt" and closes with OK.
class TPrintSelectForm final : public QDialog {
    Q_OBJECT
public:
    TPrintSelectForm(const TRunState& state, TPrompter& prompter, const QStringList& entries,
                     QWidget* parent = nullptr);

    /// Ticks or unticks entry `row`.
    void SetTicked(int row, bool ticked);
    /// The ticked entries, in list order.
    QStringList TickedEntries() const;

    /// What the print button does: refuses an empty choice, otherwise writes "Print.txt".
    void PrintChosen();

private:
    const TRunState& State;
    TPrompter& Prompter;
    QListWidget* PictureListBox = nullptr;
    QPushButton* PrintBitBtn = nullptr;
    QPushButton* CancelBitBtn = nullptr;
};

} // namespace Lumerix
