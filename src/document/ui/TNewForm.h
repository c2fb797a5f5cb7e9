#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;

namespace Lumerix {

class TRunState;

/// Asks for the title of a new slideshow.
class TNewForm final : public QDialog {
    Q_OBJECT
public:
    explicit TNewForm(const TRunState& state, QWidget* parent = nullptr);

    /// The typed title as it stands, or nothing when cancelled.
    std::optional<QString> Ask();

private:
    QLineEdit* TitleEdit = nullptr;
};

} // namespace Lumerix
