#pragma once

#include <QDialog>
#include <QFuture>
#include <QImage>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace Lumerix {

class TJobProgress;
class TLanguage;
class TScanPreview;
class TScanner;
struct TScanOption;

/// The options of an open device, built from what the device offers: numbers as spin boxes,
/// lists as combo boxes, switches as check boxes (buttons and tables are left out). A preview
/// scan shows the whole area, and dragging on it chooses the scan area. "Scan" reads the
/// picture off the window thread with progress and cancel; the dialog closes when it arrived
/// or the scan failed, and stays open after a cancel.
class TScanOptionsForm final : public QDialog {
    Q_OBJECT
public:
    TScanOptionsForm(const QString& caption, const TLanguage& language, TScanner& scanner,
                     QWidget* parent = nullptr);
    ~TScanOptionsForm() override;

    /// The result of the scan after `exec()` accepted: success, or a failure's code.
    int Code() const { return ResultCode; }
    const QImage& Picture() const { return Scanned; }
    bool Scanning() const { return Running; }

    /// Starts the scan as the "Scan" button does.
    void StartScan();
    void StartPreview();
    /// Cancel: stops a running scan (the form stays open), else closes the form.
    void reject() override;

signals:
    void ScanFinished();

private:
    void Rebuild();
    QWidget* Editor(const TScanOption& option);
    void Set(const QString& name, const QVariant& value);
    void AreaChosen(const QRectF& fraction);
    void UpdateArea();
    void Run(bool preview);
    void Finished(bool preview, const QImage& image, int code);
    void SetBusy(bool busy);

    const TLanguage& Language;
    TScanner& Scanner;
    TJobProgress* Progress = nullptr;
    QFuture<void> Job;
    bool Running = false;
    bool RebuildPending = false;
    int ResultCode = 0;
    QImage Scanned;

    QScrollArea* OptionScroll = nullptr;
    QWidget* OptionPanel = nullptr;
    QVBoxLayout* OptionLayout = nullptr;
    QCheckBox* AdvancedBox = nullptr;
    TScanPreview* PreviewView = nullptr;
    QPushButton* PreviewButton = nullptr;
    QPushButton* ScanButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* StatusLabel = nullptr;
};

} // namespace Lumerix
