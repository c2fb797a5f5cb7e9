#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace Lumerix {

class TRunState;

/// Tells the user what was made and what to do with it.
class TAnweisungForm final : public QDialog {
    Q_OBJECT
public:
    explicit TAnweisungForm(const TRunState& state, QWidget* parent = nullptr);

    /// Shows `title` and `explanation`; the desktop icon and the burning guide when asked.
    void Tell(const QString& title, const QString& explanation, bool showIcon, bool showGuide);

private:
    const TRunState& State;
    QLabel* MakeLabel = nullptr;
    QLabel* MakeSubLabel = nullptr;
    QLabel* IconImage = nullptr;
    QLabel* IconLabel = nullptr;
    QPushButton* NeroBitBtn = nullptr;
    QPushButton* OKBitBtn = nullptr;
};

} // namespace Lumerix
