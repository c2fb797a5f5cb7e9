#pragma once

#include "TVideoFormat.h"
#include "shell/TRunState.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace Lumerix {

class TPrompter;
class TRasterImage;

/// The build log "Diashow.log": one line per event, no header, no time stamps.
class TBuildLog {
public:
    explicit TBuildLog(QString path) : FilePath(std::move(path)) {}

    const QString& Path() const { return FilePath; }
    /// Deletes the log, so that a build starts a new one.
    void Clear() const;
    /// Appends one line; throws `TBuildError` when the log cannot be written.
    void Line(const QString& text) const;

private:
    QString FilePath;
};

/// An error that ends a video build; the text is shown to the user.
class TBuildError : public std::runtime_error {
public:
    explicit TBuildError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// What a video build shows while it runs: the status line, the message list, the progress
/// bar with its percentage text, and the abort button. Called on the build's thread.
class TVideoBuildObserver {
public:
    virtual ~TVideoBuildObserver() = default;

    virtual void SetStatus(const QString& text) = 0;
    virtual void AddMessage(const QString& text) = 0;
    virtual void ClearMessages() = 0;
    /// `bar` is 0 … 100; `percentText` is "33.3%", "5%" or empty.
    virtual void SetProgress(int bar, const QString& percentText) = 0;
    virtual bool AbortRequested() const = 0;

    /// The sound track join, for its own window: shown before the first file is read, then
    /// the file being read ("Aktuelle Datei: …"), the share written and the position
    /// ("Position: 12 Sekunden") whenever one of them changes; hidden when the join ends.
    virtual void JoinShown(bool /*shown*/) {}
    virtual void JoinFile(const QString& /*text*/) {}
    virtual void JoinPosition(int /*percent*/, const QString& /*position*/) {}
};

/// How a build ended.
struct TVideoBuildResult {
    enum class TOutcome { Finished, Failed, Aborted };
    TOutcome Outcome = TOutcome::Failed;
    /// The video written (finished builds only).
    QString ResultPath;
    /// Why a stage stopped the build, for the user; empty when the build already told the user
    /// (a rejected music track) or did not fail.
    QString Error;
};

/// Turns a slideshow into a video for DVD players: the picture stage, the sound track from
/// the music list, and the AVI (without transitions). All work files live in the encoder
/// folder; every step is written to the build log. The build reads a copy of the run state
/// taken when it is made, so it may run on any thread.
class TVideoBuild {
public:
    /// `prompter` must be callable from the thread `Run` runs on.
    TVideoBuild(const TRunState& state, TVideoKind kind, TTvStandard standard,
                TVideoBuildObserver& observer, TPrompter& prompter);

    /// The choices of an MP4 build (ignored by the other kinds).
    void SetMp4Options(const TMp4Options& options) { Mp4 = options; }

    /// Runs the whole build; never throws.
    TVideoBuildResult Run();

    /// `VideoDir` + the title as a file name + "_VCD.avi" / "_SVCD.mpg" … / "_HD.mp4"
    static QString ResultPath(const TRunState& state, TVideoKind kind);
    /// The log file of the program folder.
    static QString LogPath(const TRunState& state);
    /// Deletes the work files of `encoderDir` ("*.mp3", "*.jpg", "*.mpa", "*.nno", "*.wav",
    /// "*.mpg", "*.avi", "*.bmp"); programs placed there stay.
    static void ClearWorkFiles(const QString& encoderDir);
    /// The first four characters of the percentage's decimal text and "%".
    static QString PercentText(double percent);
    /// The mode line of the log: "MODE: PAL VCD" …
    static QString ModeLine(TVideoKind kind, TTvStandard standard);
    /// Seconds of sound a build needs: the pictures' time and four seconds for the closing
    /// picture, and with transitions the in-between frames at 25 frames per second.
    static int TargetSeconds(int seconds, int pictureCount, int frameFiles, bool withTransitions);

private:
    class TStageProgress;
    struct TAborted {};

    void Begin();
    void PictureStage();
    void AudioStage();
    void TransitionStage();
    void RenameFrames();
    void StoreSvcdFrame(TRasterImage frame, const QString& path) const;
    void AviStage();
    void MpegStage();
    void Mp4Stage();
    void Finish();
    void FailurePath(const QString& error);
    void AbortPath();

    /// Decodes or copies one track to "InpNNN.wav"; false when it was rejected or failed.
    bool PrepareTrack(int number, const QString& path);
    void RejectTrack(const QString& path);
    void JoinTracks();

    void Log(const QString& text) const { BuildLog.Line(text); }
    void Message(const QString& text) { Observer.AddMessage(text); }
    void Step();
    void CheckAbort() const;
    QString WorkFile(const QString& name) const { return State.EncoderDir + name; }
    QString TrackFile(int number) const;

    const TRunState State;
    const TVideoKind Kind;
    const TTvStandard Standard;
    TVideoBuildObserver& Observer;
    TPrompter& Prompter;
    const TBuildLog BuildLog;
    const QSize Frame;
    TMp4Options Mp4;

    QStringList PictureLines;
    QStringList AudioFiles;
    int PictureCount = 0;
    int ProgressTotal = 0;
    int ProgressDone = 0;
    bool Rejected = false;
};

} // namespace Lumerix
