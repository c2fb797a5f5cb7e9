#pragma once

#include "video/TVideoFormat.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
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
        TMp4Options Mp4;
    };

    TDVDWizardForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Shows the wizard for a slideshow of `pictureCount` pictures; the user's answer.
    TChoice Choose(int pictureCount);

    /// The chosen kind, or none.
    std::optional<TVideoKind> ChosenKind() const;
    /// Shows needed and free space for the chosen kind, and for an MP4 its length and the
    /// time its build takes.
    VideoFormat::TEstimate ShowEstimate();
    /// The MP4 choices as the window shows them.
    TMp4Options Mp4Options() const;

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
    QRadioButton* Mp4RadioButton = nullptr;
    QGroupBox* Mp4Box = nullptr;
    QLabel* Mp4SizeLabel = nullptr;
    QComboBox* Mp4SizeComboBox = nullptr;
    QLabel* Mp4ShapeLabel = nullptr;
    QComboBox* Mp4ShapeComboBox = nullptr;
    QLabel* Mp4RateLabel = nullptr;
    QComboBox* Mp4RateComboBox = nullptr;
    QLabel* Mp4QualityLabel = nullptr;
    QComboBox* Mp4QualityComboBox = nullptr;
    QCheckBox* Mp4MotionCheckBox = nullptr;
    QRadioButton* Mp4FitRadioButton = nullptr;
    QRadioButton* Mp4FillRadioButton = nullptr;
    QLabel* Mp4LengthLabel = nullptr;
    QLineEdit* Mp4LengthEdit = nullptr;
    QLabel* Mp4TimeLabel = nullptr;
    QLineEdit* Mp4TimeEdit = nullptr;
    QGroupBox* StandardBox = nullptr;
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
