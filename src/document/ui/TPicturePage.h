#pragma once

#include <QFuture>
#include <QImage>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace Lumerix {

class TJobProgress;
class TPainterEffectsF;
class TPictureList;
class TPictureListView;
class TPrompter;
class TRunState;
class TSlideshow;

/// Step 1: the pictures of a folder on the left, the slideshow's pictures on the right, the
/// buttons that move pictures between them, the caption field, the picture edits and the
/// preview. Thumbnails and copies are made off the window thread with progress and cancel.
class TPicturePage final : public QWidget {
    Q_OBJECT
public:
    TPicturePage(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                 QWidget* parent = nullptr);
    ~TPicturePage() override;

    void SetCaptions();
    void ClearStatus();

    /// Opens slideshow `name`: its missing thumbnails are made in the background, then the
    /// list is filled and `ShowOpened` follows.
    void OpenShow(const QString& name);
    /// Resets the page to the slideshow's list after new, open and delete.
    void ShowChanged();
    /// Refreshes the counter after entries were added elsewhere, then selects and previews
    /// entry `row` with the picture edits enabled.
    void SelectRow(int row);

    /// Lists a source folder (in the background).
    void ListSourceFolder(const QString& folder);
    /// Adds the source entries at `rows` (in their order) at `insertRow` (-1 appends).
    void AddSourceRows(QList<int> rows, int insertRow);

    /// True while a background job runs.
    bool Busy() const { return JobRunning; }
    int SelectedRow() const { return Selected; }
    /// The picture the preview shows, by path; empty when hidden.
    const QString& PreviewPath() const { return PreviewShown; }
    const TPictureList& SourceEntries() const { return *Sources; }

signals:
    void ShowOpened();
    void JobFinished();
    void PreviewLoaded();

private:
    void BuildControls();
    void ChooseSourceFolder();
    void AddSelected();
    void AddAll();
    void RemoveSelected();
    void RemoveAll();
    void PictureSelected();
    void SourceSelected();
    void CaptionEdited(const QString& text);
    void ApplyTransform(int transform);
    void UndoLast();
    /// The brightness, contrast and colour window for the selected picture (modeless).
    void OpenEffects();
    /// The red/green/blue correction for the selected picture (modal).
    void OpenColourCorrection();
    /// The full-size editor on the selected picture.
    void OpenFullEditor();
    /// The album print menu at the mouse position.
    void OpenPrintMenu();
    /// After an editing window wrote the picture of `row`: select it again, show it anew.
    void PictureEdited(int row);
    void EnableEditing(bool enabled);
    void RefreshCounter();
    void Reselect(int row);
    void StartPreview(const QString& path, bool force);
    void LoadPendingPreview();
    void ShowPreview(const QImage& image, const QString& path);
    void HidePreview();
    /// Runs `work` on a worker thread with the progress bar and cancel button shown, then
    /// `done` on the window thread.
    void RunJob(std::function<void()> work, std::function<void()> done);

    TRunState& State;
    TSlideshow& Slideshow;
    TPrompter& Prompter;
    TPictureList* Sources = nullptr;
    TJobProgress* Progress = nullptr;
    bool JobRunning = false;
    QFuture<void> Job;
    int Selected = -1;
    QString PendingPreview;
    QString PreviewShown;
    int PreviewGeneration = 0;

    QPushButton* OpenBitBtn = nullptr;
    QComboBox* SourceOrderBox = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* HintLabel = nullptr;
    QLabel* CountLabel = nullptr;
    QLabel* CaptionLabel = nullptr;
    QListView* SourceListView = nullptr;
    TPictureListView* PictureListView = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton9 = nullptr;
    QToolButton* SpeedButton10 = nullptr;
    QPushButton* UndoBitBtn = nullptr;
    QPushButton* FarbeBitBtn = nullptr;
    QPushButton* RGBBitBtn = nullptr;
    QPushButton* BildbearbeitungBitBtn = nullptr;
    QPushButton* PrintBitBtn = nullptr;
    QPushButton* HelpBitBtn = nullptr;
    QLineEdit* TextEdit = nullptr;
    QLabel* LEADImage2 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* StatusLabel = nullptr;
    QTimer* PreviewTimer = nullptr;
    TPainterEffectsF* EffectsForm = nullptr;
};

} // namespace Lumerix
