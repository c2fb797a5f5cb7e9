#pragma once

#include "printing/PrintSize.h"
#include "printing/TAlbumReport.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// The print-size wizard: one of three photo sizes or a typed width in centimetres, and
/// whether captions are printed. It keeps its choices from one opening to the next.
class TPrintSizeForm final : public QDialog {
    Q_OBJECT
public:
    TPrintSizeForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Shows the wizard; the chosen size and caption switch, or nothing when cancelled.
    std::optional<TAlbumOptions> Ask();

    /// The size value the choices stand for now.
    int SizeValue() const { return Value; }
    TPrintFormat Format() const;
    /// The caption switch as stored by the last OK.
    bool Captions() const { return CaptionsChosen; }

private:
    void FormatChosen();
    void WidthEdited(const QString& text);
    /// False (after message 6611, once per text) when the typed width does not parse.
    bool CheckWidth();

    const TRunState& State;
    TPrompter& Prompter;
    int Value = PrintSize::DefaultValue;
    bool CaptionsChosen = false;
    bool WidthReported = false;

    QRadioButton* Format9x13RadioButton = nullptr;
    QRadioButton* Format10x15RadioButton = nullptr;
    QRadioButton* Format13x18RadioButton = nullptr;
    QRadioButton* CustomRadioButton = nullptr;
    QLineEdit* WidthEdit = nullptr;
    QLabel* WidthHintLabel = nullptr;
    QCheckBox* CaptionCheckBox = nullptr;
    QPushButton* OKBitBtn = nullptr;
    QPushButton* CancelBitBtn = nullptr;
};

} // namespace Lumerix
