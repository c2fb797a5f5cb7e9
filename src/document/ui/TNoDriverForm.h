#pragma once

#include "ripper/TCdRipper.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace Lumerix {

class TRunState;

/// Explains that audio CDs cannot be read yet and which part is missing, with a button to the
/// help page on installing it.
class TNoDriverForm final : public QDialog {
    Q_OBJECT
public:
    explicit TNoDriverForm(const TRunState& state, QWidget* parent = nullptr);

    /// Shows the window for what is missing.
    void Explain(CdRipper::TMissing missing);

private:
    const TRunState& State;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* MissingLabel = nullptr;
    QPushButton* DownloadButton = nullptr;
    QPushButton* AboartButton = nullptr;
};

} // namespace Lumerix
