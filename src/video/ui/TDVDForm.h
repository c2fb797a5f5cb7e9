#pragma once

#include "video/TVideoBuild.h"
#include "video/TVideoFormat.h"

#include <QDialog>
#include <QFuture>

#include <atomic>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace Lumerix {

class TAnweisungForm;
class TWaveForm;
class TCrossThreadPrompter;
class TPrompter;
class TRunState;

/// The video creator: runs a video build off the window thread, shows its status, progress
/// and messages, and afterwards offers a preview of the video and tells the user how to burn it.
class TDVDForm final : public QDialog {
    Q_OBJECT
public:
    TDVDForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~TDVDForm() override;

    /// Builds the open slideshow as `kind` for `standard` and waits until the user closes the
    /// window; the build's outcome.
    TVideoBuildResult BuildVideo(TVideoKind kind, TTvStandard standard,
                                 const TMp4Options& mp4 = {});

    /// Starts the build without waiting (for `BuildVideo` and the tests).
    void StartBuild(TVideoKind kind, TTvStandard standard, const TMp4Options& mp4 = {});
    bool Running() const { return Job.isRunning(); }
    const TVideoBuildResult& Result() const { return LastResult; }

    /// The player programs tried for the preview, in order.
    static QStringList PreviewPrograms();

signals:
    void BuildEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    class TBridge;

    void Ended();
    void Abort();
    void CloseWindow();
    void Preview();

    const TRunState& State;
    TPrompter& Prompter;
    std::unique_ptr<TCrossThreadPrompter> JobPrompter;
    TBridge* Bridge = nullptr;
    TAnweisungForm* Instructions = nullptr;
    TWaveForm* WaveForm = nullptr;
    QFuture<TVideoBuildResult> Job;
    TVideoBuildResult LastResult;
    TVideoKind Kind = TVideoKind::Vcd;
    bool CanClose = true;

    QLabel* StatusLabel = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* ArbeiteLabel = nullptr;
    QLabel* ProzentLabel = nullptr;
    QPushButton* VideoBitBtn = nullptr;
    QPushButton* CloseBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
};

} // namespace Lumerix
