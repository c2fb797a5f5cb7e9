#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// Chooses one stored slideshow, to open or to delete.
class TOpenForm final : public QDialog {
    Q_OBJECT
public:
    enum class TMode { Open, Delete };

    TOpenForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Lists the slideshows and lets the user pick one; its folder name, or nothing.
    std::optional<QString> Choose(TMode mode);

private:
    void Confirm();

    const TRunState& State;
    TPrompter& Prompter;
    QLabel* DoLabel = nullptr;
    QListWidget* DiashowListBox = nullptr;
    QPushButton* OpenBitBtn = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QString Chosen;
};

} // namespace Lumerix
