#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// Asks which output to make of the slideshow.
class TMakeWizzard final : public QDialog {
    Q_OBJECT
public:
    enum class TOutput { None, Pc, CdRom, Video, WebPage, Screensaver };

    TMakeWizzard(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Shows the wizard; the chosen output, or `None` when it was cancelled.
    TOutput Choose();

private:
    void Next();

    const TRunState& State;
    TPrompter& Prompter;
    TOutput Chosen = TOutput::None;
    QLabel* Image1 = nullptr;
    QLabel* QuestionLabel = nullptr;
    QRadioButton* PCRadioButton = nullptr;
    QRadioButton* CDROMRadioButton = nullptr;
    QRadioButton* DVDRadioButton = nullptr;
    QRadioButton* HTMLRadioButton = nullptr;
    QRadioButton* ScreenSaverRadioButton = nullptr;
    QPushButton* HilfeBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* WeiterBitBtn = nullptr;
};

} // namespace Lumerix
