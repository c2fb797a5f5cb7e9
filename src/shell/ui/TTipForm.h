#pragma once

#include "shell/TLanguage.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace Lumerix {

class TRunState;

/// The tip window: shows the tips of the language's tip folder one after the other.
class TTipForm final : public QDialog {
    Q_OBJECT
public:
    explicit TTipForm(const TRunState& state, QWidget* parent = nullptr);

    void SetCaptions();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowNextTip();
    void CloseTips();

    const TRunState& State;
    TTipSequence Tips;
    QPlainTextEdit* Memo1;
    QCheckBox* CheckBox1;
    QPushButton* CloseBitBtn;
    QPushButton* NextTipBitBtn;
};

} // namespace Lumerix
