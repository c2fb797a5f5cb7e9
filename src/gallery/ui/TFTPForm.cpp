#include "TFTPForm.h"

#include "shell/Jobs.h"
#include "shell/TCrossThreadPrompter.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/TJobProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace Lumerix {

namespace {

QLineEdit* Edit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

TFTPForm::TFTPForm(TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("FTPForm"));
    setWindowTitle(QStringLiteral("Diashow FTP"));
    setModal(false);
    Progress = new TJobProgress(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HostEdit = Edit("HostEdit", this);
    UserEdit = Edit("UserEdit", this);
    PasswordEdit = Edit("PasswordEdit", this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PortEdit = Edit("PortEdit", this);
    PortEdit->setText(QStringLiteral("21"));
    DirEdit = Edit("DirEdit", this);
    const TLanguage& language = State.Language();
    TlsBox = new QComboBox(this);
    TlsBox->setObjectName(QStringLiteral("TlsBox"));
    TlsBox->addItem(language.Pick(QStringLiteral("Aus"), QStringLiteral("Off")), int(TFtpTls::Off));
    TlsBox->addItem(language.Pick(QStringLiteral("Wenn angeboten"), QStringLiteral("When offered")),
                    int(TFtpTls::Try));
    TlsBox->addItem(language.Pick(QStringLiteral("Immer"), QStringLiteral("Always")),
                    int(TFtpTls::Require));
    TlsBox->setCurrentIndex(TlsBox->findData(int(Login.Tls)));
    ProtocolBox = new QComboBox(this);
    ProtocolBox->setObjectName(QStringLiteral("ProtocolBox"));
    ProtocolBox->addItem(QStringLiteral("FTP"), int(TFtpProtocol::Ftp));
    ProtocolBox->addItem(QStringLiteral("SFTP (SSH)"), int(TFtpProtocol::Sftp));
    KeyFileEdit = Edit("KeyFileEdit", this);
    KeyFileEdit->setPlaceholderText(
        language.Pick(QStringLiteral("Schlüsseldatei (SFTP, sonst Passwort)"),
                      QStringLiteral("Key file (SFTP, else the password)")));
    SendEverythingCheckBox =
        new QCheckBox(language.Pick(QStringLiteral("Alles senden (nicht nur Geändertes)"),
                                    QStringLiteral("Send everything (not only what changed)")),
                      this);
    SendEverythingCheckBox->setObjectName(QStringLiteral("SendEverythingCheckBox"));
    HostLabel = new QLabel(State.Text(2801), this);
    UserLabel = new QLabel(State.Text(2802), this);
    PasswordLabel = new QLabel(State.Text(2803), this);
    PortLabel = new QLabel(State.Text(2804), this);
    DirHintLabel = new QLabel(State.Text(2806), this);
    DirHintLabel->setWordWrap(true);
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    LogListBox = new QListWidget(this);
    LogListBox->setObjectName(QStringLiteral("LogListBox"));
    UploadButton = new QPushButton(State.Text(2807), this);
    UploadButton->setObjectName(QStringLiteral("UploadButton"));

    auto* account = new QGroupBox(State.Text(2800), this);
    auto* accountGrid = new QGridLayout(account);
    accountGrid->addWidget(HostLabel, 0, 0);
    accountGrid->addWidget(HostEdit, 0, 1, 1, 3);
    accountGrid->addWidget(UserLabel, 1, 0);
    accountGrid->addWidget(UserEdit, 1, 1);
    accountGrid->addWidget(PasswordLabel, 1, 2);
    accountGrid->addWidget(PasswordEdit, 1, 3);
    accountGrid->addWidget(PortLabel, 2, 0);
    accountGrid->addWidget(PortEdit, 2, 1);
    accountGrid->addWidget(new QLabel(language.Pick(QStringLiteral("Verschlüsselung (TLS)"),
                                                    QStringLiteral("Encryption (TLS)")),
                                      this),
                           2, 2);
    accountGrid->addWidget(TlsBox, 2, 3);
    accountGrid->addWidget(
        new QLabel(language.Pick(QStringLiteral("Protokoll"), QStringLiteral("Protocol")), this), 3,
        0);
    accountGrid->addWidget(ProtocolBox, 3, 1);
    accountGrid->addWidget(KeyFileEdit, 3, 2, 1, 2);
    auto* target = new QGroupBox(State.Text(2805), this);
    auto* targetLayout = new QVBoxLayout(target);
    targetLayout->addWidget(DirHintLabel);
    targetLayout->addWidget(DirEdit);
    targetLayout->addWidget(SendEverythingCheckBox);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 8, 0, 0);
    right->addWidget(account);
    right->addWidget(target);
    right->addWidget(UploadButton, 0, Qt::AlignRight);
    right->addWidget(ProgressLabel);
    right->addWidget(ProgressBar);
    right->addWidget(LogListBox, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    resize(720, 520);

    // Every change of a field is the value in memory.
    connect(HostEdit, &QLineEdit::textChanged, this, [this](const QString& t) { Login.Host = t; });
    connect(UserEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { Login.UserId = t; });
    connect(PasswordEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { Login.Password = t; });
    connect(PortEdit, &QLineEdit::textChanged, this, [this](const QString& t) { Login.Port = t; });
    connect(DirEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { Login.ServerDir = t; });
    connect(TlsBox, &QComboBox::currentIndexChanged, this,
            [this] { Login.Tls = TFtpTls(TlsBox->currentData().toInt()); });
    connect(ProtocolBox, &QComboBox::currentIndexChanged, this, [this] {
        Login.Protocol = TFtpProtocol(ProtocolBox->currentData().toInt());
        const bool sftp = Login.Protocol == TFtpProtocol::Sftp;
        TlsBox->setEnabled(!sftp);
        KeyFileEdit->setEnabled(sftp);
    });
    connect(KeyFileEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { Login.KeyFile = t; });
    connect(SendEverythingCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { Login.SendEverything = on; });
    connect(UploadButton, &QPushButton::clicked, this, &TFTPForm::Upload);
    connect(Progress, &TJobProgress::StatusChanged, ProgressLabel, &QLabel::setText);
    connect(Progress, &TJobProgress::PercentChanged, ProgressBar, &QProgressBar::setValue);
    connect(
        this, &TFTPForm::LogAdded, LogListBox,
        [this](const QString& line) { LogListBox->addItem(line); }, Qt::QueuedConnection);
    connect(this, &TFTPForm::MessageRaised, this, &TFTPForm::ShowMessage, Qt::QueuedConnection);

    JobPrompter = std::make_unique<TCrossThreadPrompter>(Prompter, *this);
    Runner = std::make_unique<TFtpUpload>(
        Client, *Progress,
        TFtpUpload::TListener{[this](const QString& line) { emit LogAdded(line); },
                              [this](const TFtpUpload::TMessage& message) {
                                  emit MessageRaised(int(message.Kind), message.Text);
                              },
                              [this](const QString& host, const QString& fingerprint) {
                                  return JobPrompter->Confirm(TrustQuestion(host, fingerprint));
                              }});
}

TFTPForm::~TFTPForm() {
    Stop();
    Runner.reset();
}

void TFTPForm::Open(const QString& sidePicture, const QString& settingsFile,
                    const QString& outputDir) {
    SettingsFile = settingsFile;
    OutputDir = outputDir;
    Image1->setPixmap(QPixmap(sidePicture));
    if (!JobRunning) {
        ProgressBar->setValue(0);
        Login = TFtpAccount::Read(SettingsFile, State.KitFile(QStringLiteral("Gallery.ini")));
        const TFtpAccount read = Login;
        HostEdit->setText(read.Host);
        UserEdit->setText(read.UserId);
        PasswordEdit->setText(read.Password);
        PortEdit->setText(read.Port);
        DirEdit->setText(read.ServerDir);
        TlsBox->setCurrentIndex(TlsBox->findData(int(read.Tls)));
        KeyFileEdit->setText(read.KeyFile);
        SendEverythingCheckBox->setChecked(read.SendEverything);
        ProtocolBox->setCurrentIndex(ProtocolBox->findData(int(read.Protocol)));
        TlsBox->setEnabled(read.Protocol == TFtpProtocol::Ftp);
        KeyFileEdit->setEnabled(read.Protocol == TFtpProtocol::Sftp);
    }
    show();
    raise();
    activateWindow();
}

QStringList TFTPForm::LogLines() const {
    QStringList lines;
    for (int i = 0; i < LogListBox->count(); ++i)
        lines.append(LogListBox->item(i)->text());
    return lines;
}

QString TFTPForm::TrustQuestion(const QString& host, const QString& fingerprint) const {
    if (Login.Protocol == TFtpProtocol::Sftp)
        return State.Language()
            .Pick(QStringLiteral("Der Server %1 zeigt einen SSH-Schlüssel, der noch nicht bekannt "
                                 "ist. Vertrauen Sie ihm von nun an nur, wenn sein "
                                 "SHA-256-Fingerabdruck der ist, den der Betreiber des Servers "
                                 "nennt:\n%2"),
                  QStringLiteral("The server %1 shows an SSH host key that is not known yet. "
                                 "Trust it from now on only if its SHA-256 fingerprint is the one "
                                 "the server's operator gives:\n%2"))
            .arg(host, fingerprint);
    return State.Language()
        .Pick(QStringLiteral("Der Server %1 zeigt ein Zertifikat, das dieses System nicht kennt. "
                             "Vertrauen Sie ihm von nun an nur, wenn sein SHA-256-Fingerabdruck "
                             "der ist, den der Betreiber des Servers nennt:\n%2"),
              QStringLiteral("The server %1 shows a certificate that this system does not know. "
                             "Trust it from now on only if its SHA-256 fingerprint is the one "
                             "the server's operator gives:\n%2"))
        .arg(host, fingerprint);
}

void TFTPForm::ShowMessage(int kind, const QString& text) {
    if (kind == int(TFtpUpload::TMessage::TKind::Plain))
        Prompter.PlainError(text);
    else
        Prompter.Error(text);
}

void TFTPForm::Upload() {
    QString error;
    if (!Login.Write(SettingsFile, State.KitFile(QStringLiteral("Gallery.ini")), &error))
        Prompter.Error(error);
    // A second press aborts the transfer under way, or closes the kept connection.
    if (JobRunning) {
        Progress->Cancel();
        return;
    }
    if (Runner->Connected()) {
        Runner->Disconnect();
        return;
    }
    bool ok = false;
    const int port = Login.Port.trimmed().toInt(&ok);
    if (!ok) {
        Prompter.Error(QStringLiteral("'%1' is not a valid integer value").arg(Login.Port));
        return;
    }

    LogListBox->clear();
    ProgressBar->setValue(0);
    Progress->Reset();
    const TFtpLogin login = Login.LoginFor(port);
    const QString outputDir = OutputDir;
    const QString serverDir = Login.ServerDir;
    const bool everything = Login.SendEverything;
    const QString failureText = State.Text(10028);
    TFtpUpload* runner = Runner.get();
    JobRunning = true;
    setCursor(Qt::BusyCursor);
    OutputLock = std::make_unique<QLockFile>(TFtpUpload::LockPath(OutputDir));
    TFtpUpload::TryLockOutput(*OutputLock);
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher] {
        watcher->deleteLater();
        JobRunning = false;
        OutputLock.reset();
        unsetCursor();
        // A certificate the user accepted is kept for the next uploads.
        if (!Runner->AcceptedCertificate().isEmpty()) {
            Login.Certificate = Runner->AcceptedCertificate();
            QString error;
            if (!Login.Write(SettingsFile, State.KitFile(QStringLiteral("Gallery.ini")), &error))
                Prompter.Error(error);
        }
        emit RunFinished();
    });
    Job = QtConcurrent::run(Jobs::Pool(), [=] {
        runner->Connect(login, failureText);
        runner->Sync(outputDir, login, serverDir, everything);
    });
    watcher->setFuture(Job);
}

void TFTPForm::Stop() {
    if (JobRunning) {
        Progress->Cancel();
        Job.waitForFinished();
        JobRunning = false;
        OutputLock.reset();
        unsetCursor();
    }
    if (Runner && Runner->Connected())
        Runner->Disconnect();
}

void TFTPForm::done(int result) {
    // Closing ends the run and says QUIT; the command list goes with it.
    Stop();
    QDialog::done(result);
}

} // namespace Lumerix
