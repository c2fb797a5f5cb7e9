#pragma once

#include "gallery/TFtpAccount.h"
#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"

#include <QDialog>
#include <QFuture>

#include <memory>

class QCheckBox;
class QComboBox;
class QLockFile;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace Lumerix {

class TCrossThreadPrompter;
class TJobProgress;
class TPrompter;
class TRunState;

/// The upload window: the FTP login, kept in the gallery settings file, and the upload of
/// every file of the gallery's output folder with a progress bar and a log. Not modal. The
/// upload runs off the window thread; pressing the button again while it runs aborts it,
/// pressing it after a run closes the connection, and the press after that starts anew.
class TFTPForm final : public QDialog {
    Q_OBJECT
public:
    TFTPForm(TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~TFTPForm() override;

    /// Shows the window for the gallery in `outputDir`: side picture, progress at 0, login
    /// read from `settingsFile` (or the defaults while it does not exist).
    void Open(const QString& sidePicture, const QString& settingsFile, const QString& outputDir);

    bool Running() const { return JobRunning; }
    bool Connected() const { return Runner->Connected(); }
    const TFtpAccount& Account() const { return Login; }
    QStringList LogLines() const;
    /// Ends a run under way (waiting for it) and closes the connection.
    void Stop();

signals:
    /// A run has ended (its log lines are in the list).
    void RunFinished();
    // Reports from the upload's thread, delivered to the window's thread.
    void LogAdded(const QString& line);
    void MessageRaised(int kind, const QString& text);

protected:
    void done(int result) override;

private:
    void Upload();
    void ShowMessage(int kind, const QString& text);
    QString TrustQuestion(const QString& host, const QString& fingerprint) const;

    TRunState& State;
    TPrompter& Prompter;
    QString SettingsFile;
    QString OutputDir;
    TFtpAccount Login;

    QLabel* Image1;
    QLabel* HostLabel;
    QLabel* UserLabel;
    QLabel* PasswordLabel;
    QLabel* PortLabel;
    QLabel* DirHintLabel;
    QLineEdit* HostEdit;
    QLineEdit* UserEdit;
    QLineEdit* PasswordEdit;
    QLineEdit* PortEdit;
    QLineEdit* DirEdit;
    QComboBox* TlsBox;
    QComboBox* ProtocolBox;            ///< FTP or SFTP
    QLineEdit* KeyFileEdit;            ///< SFTP private key; empty logs in with the password
    QCheckBox* SendEverythingCheckBox; ///< every file, rather than only what changed
    QLabel* ProgressLabel;
    QProgressBar* ProgressBar;
    QListWidget* LogListBox;
    QPushButton* UploadButton;

    TFtpClient Client;
    TJobProgress* Progress;
    std::unique_ptr<TCrossThreadPrompter> JobPrompter; ///< asks about certificates
    std::unique_ptr<TFtpUpload> Runner;
    QFuture<void> Job;
    bool JobRunning = false;
    std::unique_ptr<QLockFile> OutputLock; ///< held while a run sends the folder
};

} // namespace Lumerix
