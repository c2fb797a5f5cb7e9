#pragma once

#include "video/TVideoFormat.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// Asks which kind of video to build and for which television standard, and shows the disk
/// space the build needs beside the free space of the workspace.
class TDVDWizardForm final : public QDialog {
    Q_OBJECT
public:
    enum class TAnswer { Back, Cancel, Build };
    struct TChoice {
        TAnswer Answer = TAnswer::Cancel;
        TVideoKind Kind = TVideoKind::Vcd;
        TTvStandard Standard = TTvStandard::Pal;
    };

    TDVDWizardForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Shows the wizard for a slideshow of `pictureCount` pictures; the user's answer.
    TChoice Choose(int pictureCount);

    /// The chosen kind, or none.
    std::optional<TVideoKind> ChosenKind() const;
    /// Shows needed and free space for the chosen kind.
    VideoFormat::TEstimate ShowEstimate();

private:
    void Next();

    const TRunState& State;
    TPrompter& Prompter;
    int PictureCount = 0;
    TAnswer Answer = TAnswer::Cancel;
    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* VCDRadioButton = nullptr;
    QRadioButton* SVCDRadioButton = nullptr;
    QRadioButton* NanoVCDRadioButton = nullptr;
    QRadioButton* NanoSVCDRadioButton = nullptr;
    QRadioButton* PalRadioButton = nullptr;
    QRadioButton* NTSCRadioButton = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* DiashowSizeEdit = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* FreeDiskEdit = nullptr;
    QPushButton* ZurueckBitBtn = nullptr;
    QPushButton* HilfeBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* WeiterBitBtn = nullptr;
};

} // namespace Lumerix
