#pragma once

#include "gallery/TGalleryGenerator.h"
#include "gallery/TGalleryRequest.h"
#include "gallery/TGallerySettings.h"

#include <QDialog>
#include <QFuture>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace Lumerix {

class TFTPForm;
class TJobProgress;
class TPrompter;
class TRunState;

/// The gallery window: the look of the web gallery (sizes, pictures per row, what shows under
/// the pictures, frame, colours), the generate button, which writes the gallery off the
/// window thread, and the upload button, which opens the FTP window for the output folder.
class THTMLForm final : public QDialog {
    Q_OBJECT
public:
    THTMLForm(TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~THTMLForm() override;

    /// Shows the window modally for `request`: side picture, settings read, fields filled.
    void Start(const TGalleryRequest& request);

    /// What opens the finished overview page; the desktop's handler unless replaced.
    void SetPageOpener(std::function<void(const QString&)> opener) { OpenPage = std::move(opener); }

    const TGallerySettings& Settings() const { return Values; }
    TFTPForm* FtpForm() const { return Ftp; }
    bool Running() const { return JobRunning; }

signals:
    /// A generation ended; `ok` when the gallery is complete.
    void GenerationFinished(bool ok);

protected:
    void done(int result) override;

private:
    void Prepare(const TGalleryRequest& request);
    void FillFields();
    void Generate();
    void GenerationDone(const TGalleryResult& result);
    void ChooseColour(bool background);
    void PaintPanels();

    TRunState& State;
    TPrompter& Prompter;
    TGalleryRequest Request;
    TGallerySettings Values;
    std::function<void(const QString&)> OpenPage;

    QLabel* Image1;
    QLabel* HeadingLabel;
    QGroupBox* SettingsGroupBox;
    QLabel* PicProRowLabel;
    QLabel* SmallPicXLabel;
    QLabel* LargePicXLabel;
    QLineEdit* PicProRowEdit;
    QLineEdit* SmallPicXEdit;
    QLineEdit* LargePicXEdit;
    QCheckBox* TextVisibleCheckBox;
    QCheckBox* FilenameVisibleCheckBox;
    QCheckBox* ShapeVisibleCheckBox;
    QLabel* StyleLabel;
    QComboBox* StyleComboBox; ///< classic table pages or responsive modern pages
    QCheckBox* DetailsVisibleCheckBox;
    QGroupBox* ColorsGroupBox;
    QPushButton* BKGColorButton;
    QPushButton* TextColorButton;
    QFrame* BKGColorPanel;
    QFrame* TextColorPanel;
    QLabel* ProgressLabel;
    QProgressBar* ProgressBar;
    QPushButton* GenerateButton;
    QPushButton* UploadButton;
    QPushButton* CloseButton;

    TFTPForm* Ftp;
    TJobProgress* Progress;
    QFuture<TGalleryResult> Job;
    bool JobRunning = false;
};

} // namespace Lumerix
