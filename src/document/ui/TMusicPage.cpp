#include "TMusicPage.h"

#include "TNoDriverForm.h"
#include "audio/ui/TCheckAudioForm.h"
#include "ripper/TCdRipper.h"
#include "shell/Execute.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

QPushButton* Button(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(200);
    return button;
}

} // namespace

TMusicPage::TMusicPage(TRunState& state, TPrompter& prompter, QWidget* parent)
    : QWidget(parent), State(state), Prompter(prompter), List(state, prompter) {
    setObjectName(QStringLiteral("MusicPage"));
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    AudioListBox = new QListWidget(this);
    AudioListBox->setObjectName(QStringLiteral("AudioListBox"));
    AudioListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AudioListBox->setDragDropMode(QAbstractItemView::InternalMove);
    AudioListBox->setDefaultDropAction(Qt::MoveAction);
    OpenAudioBitBtn = Button("OpenAudioBitBtn", this);
    StartRipperBitBtn = Button("StartRipperBitBtn", this);
    InfoBitBtn = Button("InfoBitBtn", this);
    DeleteAudioBitBtn = Button("DeleteAudioBitBtn", this);
    PlayerGroupBox = new QGroupBox(this);
    PlayBitBtn = Button("PlayBitBtn", PlayerGroupBox);
    PauseBitBtn = Button("PauseBitBtn", PlayerGroupBox);
    StopBitBtn = Button("StopBitBtn", PlayerGroupBox);
    for (QPushButton* button : {PlayBitBtn, PauseBitBtn, StopBitBtn})
        button->setMinimumWidth(90);

    auto* playerRow = new QHBoxLayout(PlayerGroupBox);
    playerRow->addWidget(PlayBitBtn);
    playerRow->addWidget(PauseBitBtn);
    playerRow->addWidget(StopBitBtn);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {OpenAudioBitBtn, StartRipperBitBtn, InfoBitBtn, DeleteAudioBitBtn})
        buttons->addWidget(button);
    buttons->addWidget(PlayerGroupBox);
    buttons->addStretch();
    auto* list = new QVBoxLayout;
    list->addWidget(Label2);
    list->addWidget(AudioListBox, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(list, 1);
    columns->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
    layout->addLayout(columns, 1);

    CheckAudioForm = new TCheckAudioForm(State, Prompter, this);
    NoDriverForm = new TNoDriverForm(State, this);

    connect(OpenAudioBitBtn, &QPushButton::clicked, this, &TMusicPage::AddFromDisk);
    connect(DeleteAudioBitBtn, &QPushButton::clicked, this, &TMusicPage::RemoveTrack);
    connect(InfoBitBtn, &QPushButton::clicked, this, &TMusicPage::ShowInfo);
    connect(AudioListBox, &QListWidget::itemDoubleClicked, this, &TMusicPage::ShowInfo);
    AudioListBox->viewport()->installEventFilter(this);
    connect(StartRipperBitBtn, &QPushButton::clicked, this, &TMusicPage::ImportCd);
    connect(PlayBitBtn, &QPushButton::clicked, this, &TMusicPage::Play);
    connect(PauseBitBtn, &QPushButton::clicked, this, &TMusicPage::Pause);
    connect(StopBitBtn, &QPushButton::clicked, this, &TMusicPage::Stop);
    // A drag inside the list changes only the order the list shows until the page is left.
    connect(AudioListBox->model(), &QAbstractItemModel::rowsMoved, this,
            &TMusicPage::TakeListOrder);
}

TMusicPage::~TMusicPage() = default;

void TMusicPage::SetCaptions() {
    Label1->setText(State.Text(1001));
    Label2->setText(State.Text(1002));
    AudioListBox->setToolTip(State.Text(1011));
    OpenAudioBitBtn->setText(State.Text(1003));
    StartRipperBitBtn->setText(State.Text(1004));
    InfoBitBtn->setText(State.Text(1005));
    DeleteAudioBitBtn->setText(State.Text(1006));
    PlayerGroupBox->setTitle(State.Text(1007));
    PlayBitBtn->setText(State.Text(1008));
    PauseBitBtn->setText(State.Text(1009));
    StopBitBtn->setText(State.Text(1010));
}

void TMusicPage::Entered() {
    setCursor(Qt::BusyCursor);
    List.LoadAudioList();
    RefreshList();
    unsetCursor();
}

void TMusicPage::ShowChanged() {
    ClosePlayer();
    List.LoadAudioList(false);
    RefreshList();
}

void TMusicPage::Left() {
    ClosePlayer();
    TakeListOrder();
    List.SaveAudioOrder();
    RefreshList();
}

void TMusicPage::RefreshList() {
    AudioListBox->clear();
    for (const QString& path : List.Tracks()) {
        auto* item = new QListWidgetItem(QFileInfo(path).fileName(), AudioListBox);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
}

void TMusicPage::TakeListOrder() {
    QStringList names;
    for (int row = 0; row < AudioListBox->count(); ++row)
        names.append(AudioListBox->item(row)->text());
    List.Arrange(names);
}

int TMusicPage::LastSelected() const {
    const int current = AudioListBox->currentRow();
    if (current >= 0 && AudioListBox->item(current)->isSelected())
        return current;
    int last = -1;
    for (const QListWidgetItem* item : AudioListBox->selectedItems())
        last = std::max(last, AudioListBox->row(item));
    return last;
}

void TMusicPage::AddFromDisk() {
    const QStringList files = Prompter.ChooseFiles(
        State.Text(4200), State.PersonalDir,
        QStringLiteral("Audio Dateien / Audio Files (*.mp3 *.wav *.MP3 *.WAV)"), false);
    if (files.isEmpty())
        return;
    TakeListOrder();
    setCursor(Qt::BusyCursor);
    List.AddTrack(files.first());
    unsetCursor();
    RefreshList();
}

void TMusicPage::RemoveTrack() {
    const int row = LastSelected();
    if (row < 0) {
        Prompter.Information(State.Text(10018));
        return;
    }
    TakeListOrder();
    ClosePlayer();
    if (List.Remove(row))
        RefreshList();
}

void TMusicPage::ShowInfo() {
    const int row = LastSelected();
    if (row < 0) {
        Prompter.Information(State.Text(10023));
        return;
    }
    ClosePlayer();
    CheckAudioForm->SetAudioFileName(AudioListBox->item(row)->data(Qt::UserRole).toString());
    CheckAudioForm->show();
    CheckAudioForm->raise();
}

void TMusicPage::ImportCd() {
    const CdRipper::TMissing missing = CdRipper::Check();
    if (missing != CdRipper::TMissing::Nothing) {
        NoDriverForm->Explain(missing);
        NoDriverForm->exec();
        return;
    }
    if (State.CurrentShow.isEmpty())
        return;
    QString error;
    if (!CdRipper::WriteHandOver(State.ProgramDir, State.WorkspaceDir, State.CurrentShow, &error)) {
        Prompter.Error(error);
        return;
    }
    const QString ripper =
        QCoreApplication::applicationDirPath() + QStringLiteral("/lumerix-ripper");
    Execute::RunAndWait(State.ProgramDir, ripper, {}, &Prompter);
    Entered();
}

void TMusicPage::Play() {
    const int row = LastSelected();
    if (row < 0) {
        Prompter.Information(State.Text(10023));
        return;
    }
    // Without a sound device there is nothing to play on, and the page goes on working.
    if (!MediaPlayer1 && QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!MediaPlayer1) {
        MediaPlayer1 = new QMediaPlayer(this);
        AudioOutput = new QAudioOutput(this);
        MediaPlayer1->setAudioOutput(AudioOutput);
        // Player errors (a file it cannot decode, a device that went away) stay silent.
        connect(MediaPlayer1, &QMediaPlayer::errorOccurred, this, [] {});
    }
    MediaPlayer1->setSource(
        QUrl::fromLocalFile(AudioListBox->item(row)->data(Qt::UserRole).toString()));
    MediaPlayer1->play();
}

void TMusicPage::Pause() {
    if (LastSelected() < 0) {
        Prompter.Information(State.Text(10023));
        return;
    }
    if (!MediaPlayer1)
        return;
    if (MediaPlayer1->playbackState() == QMediaPlayer::PlayingState)
        MediaPlayer1->pause();
    else if (MediaPlayer1->playbackState() == QMediaPlayer::PausedState)
        MediaPlayer1->play();
}

void TMusicPage::Stop() {
    if (LastSelected() < 0) {
        Prompter.Information(State.Text(10023));
        return;
    }
    if (MediaPlayer1)
        MediaPlayer1->stop();
}

bool TMusicPage::eventFilter(QObject* watched, QEvent* event) {
    // A click that leaves no track selected (the press cleared it) explains the list.
    if (watched == AudioListBox->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && LastSelected() < 0)
        Prompter.Information(State.Text(10020));
    return QWidget::eventFilter(watched, event);
}

void TMusicPage::ClosePlayer() {
    if (MediaPlayer1) {
        MediaPlayer1->stop();
        MediaPlayer1->setSource(QUrl());
    }
}

} // namespace Lumerix
