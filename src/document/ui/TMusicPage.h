#pragma once

#include "document/TAudioTrackList.h"

#include <QWidget>

class QAudioOutput;
class QGroupBox;
class QLabel;
class QListWidget;
class QMediaPlayer;
class QPushButton;

namespace Lumerix {

class TCheckAudioForm;
class TNoDriverForm;
class TPrompter;
class TRunState;

/// Step 2: the slideshow's music in playing order, with adding, removing, details, listening
/// and the import of audio CDs.
class TMusicPage final : public QWidget {
    Q_OBJECT
public:
    TMusicPage(TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~TMusicPage() override;

    void SetCaptions();
    /// The page is shown: the list is read from the slideshow folder.
    void Entered();
    /// The page is left: the tracks are renamed into the order of the list.
    void Left();
    /// Another slideshow was opened, made or deleted: the list is read from its folder.
    void ShowChanged();

    TAudioTrackList& Tracks() { return List; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefreshList();
    void TakeListOrder();
    /// The last selected track's row, or -1.
    int LastSelected() const;
    void AddFromDisk();
    void RemoveTrack();
    void ShowInfo();
    void ImportCd();
    void Play();
    void Pause();
    void Stop();
    void ClosePlayer();

    TRunState& State;
    TPrompter& Prompter;
    TAudioTrackList List;
    QMediaPlayer* MediaPlayer1 = nullptr;
    QAudioOutput* AudioOutput = nullptr;
    TCheckAudioForm* CheckAudioForm = nullptr;
    TNoDriverForm* NoDriverForm = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* AudioListBox = nullptr;
    QPushButton* OpenAudioBitBtn = nullptr;
    QPushButton* StartRipperBitBtn = nullptr;
    QPushButton* InfoBitBtn = nullptr;
    QPushButton* DeleteAudioBitBtn = nullptr;
    QGroupBox* PlayerGroupBox = nullptr;
    QPushButton* PlayBitBtn = nullptr;
    QPushButton* PauseBitBtn = nullptr;
    QPushButton* StopBitBtn = nullptr;
};

} // namespace Lumerix
