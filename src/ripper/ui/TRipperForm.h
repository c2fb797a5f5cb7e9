#pragma once

#include "ripper/TCdRipper.h"

#include <QDialog>
#include <QFuture>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace Lumerix {

class TJobProgress;

/// The CD ripper's window: the disc's tracks to tick, the import button, progress and cancel.
class TRipperForm final : public QDialog {
    Q_OBJECT
public:
    /// `german` picks the German texts; `folder` receives the tracks.
    TRipperForm(bool german, QString folder, QWidget* parent = nullptr);
    ~TRipperForm() override;

    /// Reads the disc and lists its tracks; false (with a message) when there is none.
    bool ReadDisc();
    /// Rips the ticked tracks (every track when `all`), then closes.
    void StartRip(bool all = false);
    const QStringList& Written() const { return Files; }
    /// Errors go to standard error instead of a message box (for unattended runs).
    void SetUnattended(bool unattended) { Unattended = unattended; }

private:
    QString Pick(const char* german, const char* english) const;
    void Finished(const QStringList& files, const QString& error);

    bool German;
    bool Unattended = false;
    QString Folder;
    QStringList Files;
    TJobProgress* Progress = nullptr;
    QFuture<void> Job;
    QLabel* InfoLabel = nullptr;
    QListWidget* TrackListBox = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* RipButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

} // namespace Lumerix
