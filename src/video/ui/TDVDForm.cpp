#include "TDVDForm.h"

#include "audio/ui/TWaveForm.h"
#include "package/ui/TAnweisungForm.h"
#include "shell/Jobs.h"
#include "shell/TCrossThreadPrompter.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace Lumerix {

// Carries the build's reports from its thread to the window as queued signals.
class TDVDForm::TBridge final : public QObject, public TVideoBuildObserver {
    Q_OBJECT
public:
    using QObject::QObject;

    void SetStatus(const QString& text) override { emit Status(text); }
    void AddMessage(const QString& text) override { emit Message(text); }
    void ClearMessages() override { emit Cleared(); }
    void SetProgress(int bar, const QString& percentText) override {
        emit Progress(bar, percentText);
    }
    bool AbortRequested() const override { return AbortFlag.load(); }
    void JoinShown(bool shown) override { emit JoinWindow(shown); }
    void JoinFile(const QString& text) override { emit JoinFileRead(text); }
    void JoinPosition(int percent, const QString& position) override {
        emit JoinProgress(percent, position);
    }

    std::atomic_bool AbortFlag = false;

signals:
    void Status(const QString& text);
    void Message(const QString& text);
    void Cleared();
    void Progress(int bar, const QString& percentText);
    void JoinWindow(bool shown);
    void JoinFileRead(const QString& text);
    void JoinProgress(int percent, const QString& position);
};

TDVDForm::TDVDForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter),
      JobPrompter(std::make_unique<TCrossThreadPrompter>(prompter, *this)) {
    setObjectName(QStringLiteral("DVDForm"));
    setWindowTitle(QStringLiteral("Video creator"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Bridge = new TBridge(this);
    Instructions = new TAnweisungForm(State, this);
    WaveForm = new TWaveForm(State, this);

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    QFont bold = StatusLabel->font();
    bold.setBold(true);
    StatusLabel->setFont(bold);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ArbeiteLabel = new QLabel(this);
    ArbeiteLabel->setObjectName(QStringLiteral("ArbeiteLabel"));
    ProzentLabel = new QLabel(this);
    ProzentLabel->setObjectName(QStringLiteral("ProzentLabel"));
    auto button = [this](const char* name) {
        auto* pushButton = new QPushButton(this);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };
    VideoBitBtn = button("VideoBitBtn");
    CloseBitBtn = button("CloseBitBtn");
    AbortBitBtn = button("AbortBitBtn");

    auto* working = new QHBoxLayout;
    working->addWidget(ArbeiteLabel);
    working->addStretch();
    working->addWidget(ProzentLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(VideoBitBtn);
    buttons->addStretch();
    buttons->addWidget(AbortBitBtn);
    buttons->addWidget(CloseBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StatusLabel);
    layout->addWidget(Memo1, 1);
    layout->addLayout(working);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);

    connect(Bridge, &TBridge::Status, StatusLabel, &QLabel::setText);
    connect(Bridge, &TBridge::Message, Memo1, &QPlainTextEdit::appendPlainText);
    connect(Bridge, &TBridge::Cleared, Memo1, &QPlainTextEdit::clear);
    connect(Bridge, &TBridge::Progress, this, [this](int bar, const QString& text) {
        ProgressBar1->setValue(bar);
        ProzentLabel->setText(text);
    });
    connect(Bridge, &TBridge::JoinWindow, this, [this](bool shown) {
        if (shown)
            WaveForm->Start();
        else
            WaveForm->hide();
    });
    connect(Bridge, &TBridge::JoinFileRead, WaveForm, &TWaveForm::SetFile);
    connect(Bridge, &TBridge::JoinProgress, WaveForm, &TWaveForm::SetPosition);
    connect(AbortBitBtn, &QPushButton::clicked, this, &TDVDForm::Abort);
    connect(CloseBitBtn, &QPushButton::clicked, this, &TDVDForm::CloseWindow);
    connect(VideoBitBtn, &QPushButton::clicked, this, &TDVDForm::Preview);
}

TDVDForm::~TDVDForm() {
    // The build may be waiting for an answer on this thread: keep answering until it stops.
    Bridge->AbortFlag = true;
    while (Job.isRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

TVideoBuildResult TDVDForm::BuildVideo(TVideoKind kind, TTvStandard standard,
                                       const TMp4Options& mp4) {
    StartBuild(kind, standard, mp4);
    // Without a window manager "maximised" means nothing; fill the screen either way.
    if (const QScreen* screen = this->screen())
        resize(screen->availableGeometry().size());
    showMaximized();
    exec();
    return LastResult;
}

void TDVDForm::StartBuild(TVideoKind kind, TTvStandard standard, const TMp4Options& mp4) {
    Kind = kind;
    StatusLabel->setText(State.Text(2400));
    ArbeiteLabel->setText(State.Text(2401));
    VideoBitBtn->setText(State.Text(2402));
    CloseBitBtn->setText(State.Text(2403));
    AbortBitBtn->setText(State.Text(2404));

    ProgressBar1->setValue(0);
    ProzentLabel->setText(QStringLiteral("0%"));
    VideoBitBtn->setVisible(kind != TVideoKind::SvcdTransitions);
    ArbeiteLabel->setVisible(true);
    CloseBitBtn->setEnabled(false);
    VideoBitBtn->setEnabled(false);
    AbortBitBtn->setEnabled(true);
    CanClose = false;
    LastResult = {};
    Bridge->AbortFlag = false;
    QApplication::setOverrideCursor(Qt::BusyCursor);

    auto* watcher = new QFutureWatcher<TVideoBuildResult>(this);
    connect(watcher, &QFutureWatcher<TVideoBuildResult>::finished, this, [this, watcher] {
        LastResult = watcher->result();
        watcher->deleteLater();
        Ended();
    });
    Job = QtConcurrent::run(Jobs::Pool(), [state = State, kind, standard, mp4, bridge = Bridge,
                                           prompter = JobPrompter.get()] {
        TVideoBuild build(state, kind, standard, *bridge, *prompter);
        build.SetMp4Options(mp4);
        return build.Run();
    });
    watcher->setFuture(Job);
}

void TDVDForm::Ended() {
    QApplication::restoreOverrideCursor();
    ArbeiteLabel->setVisible(false);
    AbortBitBtn->setEnabled(false);
    CanClose = true;
    switch (LastResult.Outcome) {
    case TVideoBuildResult::TOutcome::Finished:
        CloseBitBtn->setEnabled(true);
        VideoBitBtn->setEnabled(true);
        QApplication::beep();
        break;
    case TVideoBuildResult::TOutcome::Failed:
        CloseBitBtn->setEnabled(true);
        VideoBitBtn->setEnabled(false);
        if (!LastResult.Error.isEmpty())
            Prompter.Error(LastResult.Error);
        break;
    case TVideoBuildResult::TOutcome::Aborted:
        emit BuildEnded();
        Instructions->Tell(State.Text(4605), State.Text(4614), false, false);
        done(QDialog::Rejected);
        return;
    }
    emit BuildEnded();
}

void TDVDForm::Abort() {
    // The build stops at its next picture, frame or track and then closes the window.
    AbortBitBtn->setEnabled(false);
    Bridge->AbortFlag = true;
}

void TDVDForm::CloseWindow() {
    if (!CanClose)
        return;
    if (LastResult.Outcome == TVideoBuildResult::TOutcome::Failed) {
        Instructions->Tell(State.Text(4606), State.Text(4615), false, false);
    } else if (Kind == TVideoKind::Mp4) {
        Instructions->Tell(State.Text(5222),
                           State.Text(4622) + u' ' + State.VideoDir + u' ' + State.Text(5223),
                           false, false);
    } else if (VideoFormat::IsSvcd(Kind)) {
        Instructions->Tell(State.Text(4608),
                           State.Text(4624) + u' ' + State.VideoDir + u' ' + State.Text(4625),
                           false, true);
    } else {
        Instructions->Tell(State.Text(4607),
                           State.Text(4622) + u' ' + State.VideoDir + u' ' + State.Text(4623),
                           false, true);
    }
    done(LastResult.Outcome == TVideoBuildResult::TOutcome::Finished ? QDialog::Accepted
                                                                     : QDialog::Rejected);
}

QStringList TDVDForm::PreviewPrograms() {
    return {QStringLiteral("xdg-open"), QStringLiteral("mpv"), QStringLiteral("vlc"),
            QStringLiteral("ffplay")};
}

void TDVDForm::Preview() {
    const QString video = TVideoBuild::ResultPath(State, Kind);
    for (const QString& program : PreviewPrograms()) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty() && QProcess::startDetached(path, {video}))
            return;
    }
    Prompter.Error(QStringLiteral("Error starting ") +
                   PreviewPrograms().join(QStringLiteral(", ")));
}

void TDVDForm::closeEvent(QCloseEvent* event) {
    if (!CanClose)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TDVDForm::reject() {
    // Escape and the window frame close the window only once the build has ended.
    if (CanClose)
        QDialog::reject();
}

} // namespace Lumerix

#include "TDVDForm.moc"
