#include "TVideoBuild.h"

#include "TAviWriter.h"
#include "TFramePreparation.h"
#include "TMp4Writer.h"
#include "TMpegEncoder.h"
#include "TransitionFrames.h"
#include "audio/TAudioInspector.h"
#include "audio/TWaveStream.h"
#include "audio/WaveJoin.h"
#include "document/TAudioTrackList.h"
#include "document/TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "imaging/TTransition.h"
#include "shell/Convert.h"
#include "shell/Execute.h"
#include "shell/Jobs.h"
#include "shell/Strings.h"
#include "shell/TProgress.h"
#include "shell/TPrompter.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QtConcurrent>

#include <cmath>
#include <deque>
#include <functional>
#include <optional>

namespace Lumerix {

namespace {

// Rounds halves to even, as the build's arithmetic has always done.
int RoundEven(double value) {
    return int(std::nearbyint(value));
}

const QStringList WorkPatterns = {QStringLiteral("*.mp3"), QStringLiteral("*.jpg"),
                                  QStringLiteral("*.mpa"), QStringLiteral("*.nno"),
                                  QStringLiteral("*.wav"), QStringLiteral("*.mpg"),
                                  QStringLiteral("*.avi"), QStringLiteral("*.bmp")};

// The program that decodes MP3 tracks to WAV, named in the log as it is run.
const QString Decoder = QStringLiteral("lame");

} // namespace

// --- TBuildLog --------------------------------------------------------------------------------

void TBuildLog::Clear() const {
    if (QFileInfo::exists(FilePath) && !QFile::remove(FilePath))
        throw TBuildError(QStringLiteral("%1: the build log cannot be deleted").arg(FilePath));
}

void TBuildLog::Line(const QString& text) const {
    QFile file(FilePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text) ||
        file.write((text + u'\n').toUtf8()) < 0 || !file.flush())
        throw TBuildError(QStringLiteral("%1: the build log cannot be written (%2)")
                              .arg(FilePath, file.errorString()));
}

// --- stage progress ---------------------------------------------------------------------------

// Hands a stage's status reports to the build and its cancel question to the abort button.
class TVideoBuild::TStageProgress final : public TProgress {
public:
    TStageProgress(TVideoBuildObserver& observer, std::function<void(const QString&)> status)
        : Observer(observer), Status(std::move(status)) {}

    void SetStatus(const QString& text) override { Status(text); }
    void SetPercent(int) override {}
    bool Cancelled() const override { return Observer.AbortRequested(); }

private:
    TVideoBuildObserver& Observer;
    std::function<void(const QString&)> Status;
};

namespace {

// Hands the join's file, share and position to the observer, each change once.
class TJoinProgress final : public TProgress {
public:
    explicit TJoinProgress(TVideoBuildObserver& observer) : Observer(observer) {}

    void SetStatus(const QString& text) override {
        Observer.SetStatus(text);
        Observer.JoinFile(text);
    }
    void SetPercent(int percent) override { Percent = percent; }
    bool Cancelled() const override { return Observer.AbortRequested(); }

    void SetPosition(const QString& text) {
        if (Percent == ShownPercent && text == ShownPosition)
            return;
        ShownPercent = Percent;
        ShownPosition = text;
        Observer.JoinPosition(Percent, text);
    }

private:
    TVideoBuildObserver& Observer;
    int Percent = 0;
    int ShownPercent = -1;
    QString ShownPosition;
};

} // namespace

// --- TVideoBuild ------------------------------------------------------------------------------

TVideoBuild::TVideoBuild(const TRunState& state, TVideoKind kind, TTvStandard standard,
                         TVideoBuildObserver& observer, TPrompter& prompter)
    : State(state), Kind(kind), Standard(standard), Observer(observer), Prompter(prompter),
      BuildLog(LogPath(state)), Frame(VideoFormat::FrameSize(kind, standard)) {}

QString TVideoBuild::ResultPath(const TRunState& state, TVideoKind kind) {
    if (kind == TVideoKind::Mp4)
        return state.VideoDir + Convert::SafeFileName(state.ShowTitle) + QStringLiteral("_HD.mp4");
    return state.VideoDir + Convert::SafeFileName(state.ShowTitle) + u'_' +
           VideoFormat::ModeName(kind) +
           (VideoFormat::WithTransitions(kind) ? QStringLiteral(".mpg") : QStringLiteral(".avi"));
}

QString TVideoBuild::LogPath(const TRunState& state) {
    return state.ProgramDir + QStringLiteral("Diashow.log");
}

void TVideoBuild::ClearWorkFiles(const QString& encoderDir) {
    const QDir folder(encoderDir);
    const QStringList files =
        folder.entryList(WorkPatterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& file : files)
        QFile::remove(folder.filePath(file));
}

QString TVideoBuild::PercentText(double percent) {
    return QString::number(percent, 'g', 15).left(4) + u'%';
}

QString TVideoBuild::ModeLine(TVideoKind kind, TTvStandard standard) {
    if (kind == TVideoKind::Mp4)
        return QStringLiteral("MODE: MP4");
    return QStringLiteral("MODE: ") +
           (standard == TTvStandard::Pal ? QStringLiteral("PAL ") : QStringLiteral("NTSC ")) +
           VideoFormat::ModeName(kind);
}

int TVideoBuild::TargetSeconds(int seconds, int pictureCount, int frameFiles,
                               bool withTransitions) {
    int target = RoundEven(double(seconds) * pictureCount) + 4;
    if (withTransitions)
        target += RoundEven(double(frameFiles - pictureCount) / 25.0);
    return target;
}

TVideoBuildResult TVideoBuild::Run() {
    TVideoBuildResult result;
    const auto stopped = [this, &result](const QString& error) {
        if (Observer.AbortRequested()) {
            AbortPath();
            result.Outcome = TVideoBuildResult::TOutcome::Aborted;
        } else {
            FailurePath(error);
            result.Outcome = TVideoBuildResult::TOutcome::Failed;
            result.Error = error;
        }
    };
    try {
        Begin();
        if (Kind == TVideoKind::Mp4) {
            Mp4Stage();
            Finish();
            result.Outcome = TVideoBuildResult::TOutcome::Finished;
            result.ResultPath = ResultPath(State, Kind);
            return result;
        }
        PictureStage();
        CheckAbort();
        AudioStage();
        if (Rejected) {
            FailurePath(QString());
            result.Outcome = TVideoBuildResult::TOutcome::Failed;
            return result;
        }
        CheckAbort();
        if (VideoFormat::WithTransitions(Kind))
            MpegStage();
        else
            AviStage();
        Finish();
        result.Outcome = TVideoBuildResult::TOutcome::Finished;
        result.ResultPath = ResultPath(State, Kind);
    } catch (const TAborted&) {
        AbortPath();
        result.Outcome = TVideoBuildResult::TOutcome::Aborted;
    } catch (const TImagingError& error) {
        stopped(error.Text());
    } catch (const TWaveError& error) {
        stopped(error.Text());
    } catch (const TAviError& error) {
        stopped(error.Text());
    } catch (const TBuildError& error) {
        stopped(error.Text());
    } catch (const TMpegError& error) {
        stopped(error.Text());
    } catch (const TMp4Error& error) {
        stopped(error.Text());
    } catch (const TEffectsError& error) {
        stopped(error.Text());
    } catch (const std::exception& error) {
        stopped(QString::fromLocal8Bit(error.what()));
    }
    return result;
}

void TVideoBuild::Begin() {
    Observer.SetProgress(0, QStringLiteral("0%"));
    if (!QDir().mkpath(State.EncoderDir) || !QDir().mkpath(State.VideoDir))
        throw TBuildError(QStringLiteral("%1: the folder cannot be made").arg(State.VideoDir));
    BuildLog.Clear();
    Log(QStringLiteral("BEGIN"));
    Log(ModeLine(Kind, Standard));
    ClearWorkFiles(State.EncoderDir);
    Log(QStringLiteral("Alle alten *.mp3 *.wav *.mpeg *.avi *.bmp Dateien um Ordner \\encoder\\ "
                       "wurden gelöscht"));
    Observer.ClearMessages();
    Observer.SetStatus(QStringLiteral("Prepare pictures"));
}

void TVideoBuild::PictureStage() {
    const QList<TFramePicture> pictures =
        FramePreparation::PicturesOfShow(State, State.CurrentShow);
    PictureCount = int(pictures.size());
    ProgressDone = 0;
    const bool transitions = VideoFormat::WithTransitions(Kind);
    ProgressTotal = RoundEven((transitions ? 2.0 : 1.0) * PictureCount * 1.2);

    Observer.SetStatus(State.Text(12005));
    Message(State.Text(12005));
    Log(QStringLiteral("START: Convert pictures for video"));

    TStageProgress progress(Observer, [this](const QString& text) { Observer.SetStatus(text); });
    const auto written = [this](int number, const TFramePicture& picture, const QString& file) {
        Step();
        const QString base = QFileInfo(file).fileName().section(u'.', 0, 0).section(u'_', 0, 0);
        // The closing picture is converted through the work picture and logged by its name.
        const QString source = number > PictureCount ? QStringLiteral("Temp.jpg")
                                                     : QFileInfo(picture.Source).fileName();
        Log(QStringLiteral("     Bild konvertiert: ") + source +
            QStringLiteral("    NACH    encoder\\") + base);
        if (!picture.Warning.isEmpty())
            Log(QStringLiteral("     WARNUNG: ") + QFileInfo(picture.Source).fileName() +
                QStringLiteral(": ") + picture.Warning);
        Message(State.Text(12004) + u' ' + base);
    };
    const QStringList files = FramePreparation::PictureStage(
        pictures, FramePreparation::ClosingPicture(State), Frame,
        TFrameLook::FromState(State, Kind), State.EncoderDir, progress,
        transitions ? FramePreparation::TFrameFile::KeyFrame : FramePreparation::TFrameFile::Bitmap,
        written);
    if (files.isEmpty())
        throw TAborted();
    Observer.SetStatus(QStringLiteral("Calculate slides"));
    if (transitions) {
        TransitionStage();
        RenameFrames();
    }
    Log(QStringLiteral("FERTIG: Bilder für Video konvertieren"));
}

void TVideoBuild::TransitionStage() {
    if (State.EffectMode == TEffectMode::Off || PictureCount == 0)
        return;
    const TEffectsFile effects = TEffectsFile::Load(State.KitFile(QStringLiteral("Effects.ini")));
    // Random mode draws a fresh effect for every transition, never the last line.
    QList<int> numbers;
    for (int i = 0; i < PictureCount; ++i)
        numbers.append(
            State.EffectMode == TEffectMode::Random
                ? 1 + int(QRandomGenerator::global()->bounded(qMax(1, effects.Count() - 1)))
                : State.Effect);

    // Picture i's transition leads from its key frame into the next one (the last into the
    // closing picture). Transitions are independent, so they run on every core.
    auto transition = [this, &effects](int number, int effect) -> std::optional<QString> {
        if (Observer.AbortRequested())
            return std::nullopt;
        try {
            const auto key = [this](int n) {
                TRasterImage picture;
                picture.Load(WorkFile(
                    FramePreparation::FrameName(n, FramePreparation::TFrameFile::KeyFrame)));
                return picture.Bitmap();
            };
            const TTransitionPainter painter(key(number), key(number + 1), effects.Effect(effect));
            const QString base = WorkFile(QStringLiteral("inp") +
                                          Strings::PadLeft(QString::number(number), u'0', 4));
            TransitionFrames::Sample(painter, [this, &base](int frame, const QImage& picture) {
                const QString path = base + Strings::PadLeft(QString::number(frame), u'0', 3) +
                                     QStringLiteral(".jpg");
                // SVCD frames go straight to the encoder's size instead of being read back.
                if (VideoFormat::IsSvcd(Kind))
                    StoreSvcdFrame(TRasterImage(picture), path);
                else
                    TRasterImage(picture).Save(path, TransitionFrames::QualityFactor);
            });
            return std::nullopt;
        } catch (const TImagingError& error) {
            return error.Text();
        } catch (const TEffectsError& error) {
            return error.Text();
        }
    };
    std::deque<QFuture<std::optional<QString>>> running;
    const int ahead = qMax(2, Jobs::Pool()->maxThreadCount());
    int launched = 0;
    struct TWaitAll {
        std::deque<QFuture<std::optional<QString>>>& Futures;
        ~TWaitAll() {
            for (auto& future : Futures)
                future.waitForFinished();
        }
    } waitAll{running};
    for (int number = 1; number <= PictureCount; ++number) {
        while (launched < PictureCount && int(running.size()) < ahead) {
            ++launched;
            running.push_back(
                QtConcurrent::run(Jobs::Pool(), transition, launched, numbers[launched - 1]));
        }
        const std::optional<QString> error = running.front().result();
        running.pop_front();
        CheckAbort();
        if (error)
            throw TBuildError(*error);
        Step();
        const QString text =
            QStringLiteral("Calculate slides: Picture %1 of %2").arg(number).arg(PictureCount);
        Observer.SetStatus(text);
        Log(text);
    }
}

void TVideoBuild::RenameFrames() {
    const QDir folder(State.EncoderDir);
    const QStringList frames = TransitionFrames::SequenceOrder(
        folder.entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden));
    const int held = RoundEven(State.SecondsPerPicture.toDouble() * 25);
    QStringList quantity;
    for (int k = 0; k < frames.size(); ++k) {
        const QString name = TransitionFrames::SequenceName(k);
        if (frames[k].contains(QStringLiteral("_Key."), Qt::CaseInsensitive))
            quantity.append(
                TransitionFrames::QuantityLine(name, k + 1 == frames.size() ? 100 : held));
        if (!QFile::rename(folder.filePath(frames[k]), folder.filePath(name)))
            throw TBuildError(QStringLiteral("%1: cannot be renamed to %2")
                                  .arg(folder.filePath(frames[k]), name));
    }
    if (VideoFormat::IsSvcd(Kind)) {
        // The in-between frames were stored at the encoder's size when they were made; the
        // key frames, which the transitions read, follow now, on every core.
        QStringList keys;
        for (int k = 0; k < frames.size(); ++k) {
            if (frames[k].contains(QStringLiteral("_Key."), Qt::CaseInsensitive))
                keys.append(folder.filePath(TransitionFrames::SequenceName(k)));
        }
        const auto store = [this](const QString& path) -> QString {
            try {
                TRasterImage frame;
                frame.Load(path);
                StoreSvcdFrame(frame, path);
                return {};
            } catch (const TImagingError& error) {
                return error.Text();
            }
        };
        const QList<QString> errors = QtConcurrent::blockingMapped(Jobs::Pool(), keys, store);
        for (const QString& error : errors) {
            if (!error.isEmpty())
                throw TBuildError(error);
        }
        for (qsizetype k = 0; k < frames.size(); ++k) {
            const QString text =
                State.Text(12006) + QStringLiteral(" %1/%2").arg(k + 1).arg(frames.size());
            Message(text);
            Observer.SetStatus(text);
        }
    }
    QString error;
    if (!TextCodec::WriteFileAtomic(
            WorkFile(QStringLiteral("Test_quantity.nno")),
            (quantity.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(), &error))
        throw TBuildError(error);
}

void TVideoBuild::StoreSvcdFrame(TRasterImage frame, const QString& path) const {
    // SVCD frames are composed at the television's proportion and stored at the encoder's
    // 480 pixels width.
    frame.Size(480, Standard == TTvStandard::Pal ? 576 : 480, TResize::Resample);
    frame.Save(path);
}

QString TVideoBuild::TrackFile(int number) const {
    return WorkFile(QStringLiteral("Inp") + Strings::PadLeft(QString::number(number), u'0', 3) +
                    QStringLiteral(".wav"));
}

void TVideoBuild::AudioStage() {
    Observer.SetStatus(QStringLiteral("Get number of audiofiles"));
    AudioFiles = TAudioTrackList::TrackPaths(TSlideshowStore(State).ShowDir(State.CurrentShow));
    CheckAbort();
    if (AudioFiles.isEmpty()) {
        Log(QStringLiteral("KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT"));
        return;
    }
    Observer.SetStatus(QStringLiteral("prepare audio"));
    Log(QStringLiteral("START: AUDIO"));
    for (int number = 1; number <= AudioFiles.size(); ++number) {
        if (!PrepareTrack(number, AudioFiles[number - 1])) {
            Rejected = true;
            return;
        }
    }
    CheckAbort();
    JoinTracks();
}

bool TVideoBuild::PrepareTrack(int number, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString suffix = QFileInfo(path).suffix().toUpper();
    const TAudioInfo info = TAudioInspector::Inspect(path);
    const QString target = TrackFile(number);
    const QString targetName = QFileInfo(target).fileName();

    if (suffix == u"MP3") {
        const QString text = QStringLiteral("MP3 ") + info.InfoVersion + u' ' + info.InfoDetail +
                             QStringLiteral("   Samplingrate: ") + info.InfoSampleRate;
        Message(QStringLiteral("Audio Info: ") + text);
        Log(QStringLiteral("   Audio Info: ") + text);
        if (!TAudioInspector::AcceptedForSlideshow(info)) {
            RejectTrack(path);
            return false;
        }
        Message(QStringLiteral("Audio Nr.%1 MP3 to WAV ...please wait!").arg(number));
        Log(QStringLiteral("     ---------MP3TOWAV---------"));
        const QStringList arguments = {path, target, QStringLiteral("--decode")};
        Log(QStringLiteral("        Start: ") + Decoder + u' ' + u'"' + path +
            QStringLiteral("\" \"") + target + QStringLiteral("\" --decode"));
        TStageProgress progress(Observer, [](const QString&) {});
        // The decoder draws its progress on its error output; the log tells the story.
        Execute::RunAndWait(State.EncoderDir, Decoder, arguments, &Prompter, &progress,
                            Execute::TErrorOutput::Discard);
        CheckAbort();
        if (!QFileInfo::exists(target)) {
            Log(QStringLiteral("FEHLER: ") + target + QStringLiteral(" wurde nicht erzeugt!"));
            return false;
        }
        Log(QStringLiteral("        Fertig: ") + Decoder);
        return true;
    }

    const QString text = QStringLiteral("WAV Version: ") + info.InfoVersion + QStringLiteral("  ") +
                         info.InfoDetail + QStringLiteral("  Samplingrate: ") + info.InfoSampleRate;
    Message(QStringLiteral("Audio Info: ") + text);
    Log(QStringLiteral("     Audio Info: ") + text);
    if (!TAudioInspector::AcceptedForSlideshow(info)) {
        RejectTrack(path);
        return false;
    }
    Log(QStringLiteral("     Start: ") + name + QStringLiteral(" kopieren"));
    if (!Execute::CopyFile(path, target))
        throw TBuildError(QStringLiteral("%1: cannot be copied to %2").arg(path, target));
    Log(QStringLiteral("     Fertig: ") + targetName + QStringLiteral(" wurde kopiert"));
    Message(QStringLiteral("copy Audio Nr.%1").arg(number));
    return true;
}

void TVideoBuild::RejectTrack(const QString& path) {
    Message(QStringLiteral("wrong Samplerate / or not Stereo"));
    Log(QStringLiteral("wrong Samplerate / or not Stereo"));
    Prompter.Information(State.Text(10012) + u' ' + QFileInfo(path).fileName() + u' ' +
                         State.Text(10013) + QStringLiteral("\n\n") + State.Text(10014) +
                         QStringLiteral("\n\n") + State.Text(10015));
}

void TVideoBuild::JoinTracks() {
    Log(QStringLiteral("     prepare Audio / cut"));
    Message(QStringLiteral(" prepare Audio / cut"));
    TWaveJoin join;
    for (int number = 1; number <= AudioFiles.size(); ++number)
        join.InputFiles.append(TrackFile(number));
    const int frameFiles =
        int(QDir(State.EncoderDir).entryList({QStringLiteral("*.jpg")}, QDir::Files).size());
    join.TargetSeconds = TargetSeconds(State.SecondsPerPicture.toInt(), PictureCount, frameFiles,
                                       VideoFormat::WithTransitions(Kind));
    Message(QStringLiteral(" Audio: %1 sec").arg(join.TargetSeconds));
    Log(QStringLiteral("     Audio: %1 sec").arg(join.TargetSeconds));
    join.OutputFile = WorkFile(QStringLiteral("Input.wav"));
    TJoinProgress progress(Observer);
    join.Progress = &progress;
    join.OnLog = [this](const QString& line) {
        Log(line);
    };
    join.OnMessage = [this](const QString& line) {
        Message(line);
    };
    join.OnPosition = [&progress](const QString& text) {
        progress.SetPosition(text);
    };
    Observer.JoinShown(true);
    try {
        join.ConcatenateToLength();
    } catch (...) {
        Observer.JoinShown(false);
        throw;
    }
    Observer.JoinShown(false);
    for (const QString& file : join.InputFiles)
        QFile::remove(file);
}

void TVideoBuild::AviStage() {
    Log(QStringLiteral("START: AVI"));
    const QDir folder(State.EncoderDir);
    const QStringList bitmaps =
        folder.entryList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Hidden, QDir::Name);

    // The writer replaces an earlier video only once the new one is complete.
    TAviWriter writer(State.EncoderDir);
    writer.FileName = ResultPath(State, Kind);
    writer.Width = Frame.width();
    writer.Height = Frame.height();
    writer.FrameTime = RoundEven(State.SecondsPerPicture.toDouble() * 1000);
    writer.Stretch = false;

    ProgressTotal = RoundEven(PictureCount * 3 * 1.4);
    Observer.SetStatus(QStringLiteral("Add pictures to video"));
    int frames = 0;
    for (const QString& name : bitmaps) {
        CheckAbort();
        const QImage bitmap(folder.filePath(name));
        if (bitmap.isNull()) {
            Message(QStringLiteral("Cannot load bitmap because: ") + name +
                    QStringLiteral(" is not a readable bitmap"));
            continue;
        }
        writer.Bitmaps.append(bitmap);
        Log(QStringLiteral("     AviWriter1.Bitmaps.Add: ") + name);
        Step();
        Message(u' ' + State.Text(12002) + u' ' + QString::number(++frames) + u' ' +
                State.Text(12003));
    }

    const QString sound = WorkFile(QStringLiteral("Input.wav"));
    if (QFileInfo::exists(sound)) {
        writer.SetWavFileName(sound);
        Log(QStringLiteral("     AviWriter: Audiodatei=Input.wav"));
    } else {
        writer.SetWavFileName(QString());
        Log(QStringLiteral(
            "     AviWriter: File not exist Input.wav --> AVI ohne Audio herstellen"));
    }

    TStageProgress progress(Observer, [this](const QString& text) {
        Step();
        Message(text);
        Log(QStringLiteral("        AVIWriter: ") + text);
        Observer.SetStatus(text);
    });
    writer.Progress = &progress;
    Log(QStringLiteral("     Start: AviWriter"));
    writer.Write();
    Log(QStringLiteral("     Fertig: AviWriter"));
    writer.Bitmaps.clear();
    ClearWorkFiles(State.EncoderDir);
    Log(QStringLiteral("FERTIG: AVI"));
}

void TVideoBuild::MpegStage() {
    // A show without music gets the shipped silence.
    TMpegEncoder::ProvideSilence(State.EncoderDir,
                                 State.KitFile(QStringLiteral("video/empty.wav")));
    TStageProgress progress(Observer, [this](const QString& text) { Observer.SetStatus(text); });
    TMpegEncoder encoder = TMpegEncoder::OpenMPDX(State.EncoderDir, ResultPath(State, Kind));
    encoder.EncodeMPDX(&progress);
}

namespace {

// The MP4 writer's status and share, for the window's status line and progress bar.
class TMp4Progress final : public TProgress {
public:
    explicit TMp4Progress(TVideoBuildObserver& observer) : Observer(observer) {}

    void SetStatus(const QString& text) override { Observer.SetStatus(text); }
    void SetPercent(int percent) override {
        Observer.SetProgress(percent, TVideoBuild::PercentText(percent));
    }
    bool Cancelled() const override { return Observer.AbortRequested(); }

private:
    TVideoBuildObserver& Observer;
};

// The same show always draws the same effects.
int RandomEffect(int transition, int effectCount) {
    quint64 x = quint64(transition + 1) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 29;
    // Never the last line, as the other kinds draw.
    return 1 + int(x % quint64(qMax(1, effectCount - 1)));
}

} // namespace

void TVideoBuild::Mp4Stage() {
    const QList<TFramePicture> pictures =
        FramePreparation::PicturesOfShow(State, State.CurrentShow);
    PictureCount = int(pictures.size());
    const QSize frame = Mp4.FrameSize();
    Log(QStringLiteral("START: MP4 %1 x %2, %3 fps")
            .arg(frame.width())
            .arg(frame.height())
            .arg(Mp4.FramesPerSecond));
    Message(State.Text(12005));

    TMp4Writer writer;
    writer.Options = Mp4;
    writer.Look = TFrameLook::ScaledFromState(State, frame.height());
    for (const TFramePicture& picture : pictures)
        writer.Pictures.append(
            {picture.Source, picture.Caption,
             picture.Caption.isEmpty() ? QFileInfo(picture.Source).fileName() : picture.Caption});
    const double seconds = State.SecondsPerPicture.toDouble();
    writer.SecondsPerPicture = seconds > 0 ? seconds : 1;
    if (State.EffectMode != TEffectMode::Off && PictureCount > 1) {
        const TEffectsFile effects =
            TEffectsFile::Load(State.KitFile(QStringLiteral("Effects.ini")));
        for (int i = 0; i + 1 < PictureCount; ++i)
            writer.Transitions.append(effects.Effect(State.EffectMode == TEffectMode::Random
                                                         ? RandomEffect(i, effects.Count())
                                                         : State.Effect));
    }
    writer.MusicTracks =
        TAudioTrackList::TrackPaths(TSlideshowStore(State).ShowDir(State.CurrentShow));
    if (writer.MusicTracks.isEmpty())
        Log(QStringLiteral("KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT"));
    writer.ResultPath = ResultPath(State, Kind);
    TMp4Progress progress(Observer);
    writer.Progress = &progress;
    writer.Write();
    Log(QStringLiteral("FERTIG: MP4"));
}

void TVideoBuild::Finish() {
    Log(QStringLiteral("END"));
    if (!VideoFormat::WithTransitions(Kind))
        ClearWorkFiles(State.EncoderDir);
    Message(QStringLiteral(" "));
    Message(State.Text(12007));
    Observer.SetStatus(State.Text(12007));
    Log(State.Text(12007));
    Observer.SetProgress(100, QString());
}

void TVideoBuild::FailurePath(const QString& error) {
    ClearWorkFiles(State.EncoderDir);
    if (!error.isEmpty())
        Message(error);
    Message(State.Text(12008));
    Observer.SetStatus(State.Text(12008));
    // The log may be what failed; the window still shows the outcome.
    try {
        if (!error.isEmpty())
            Log(QStringLiteral("FEHLER: ") + error);
        Log(State.Text(12008));
    } catch (const TBuildError&) {
    }
    Observer.SetProgress(0, QStringLiteral("0%"));
}

void TVideoBuild::AbortPath() {
    Message(u' ' + State.Text(12001));
    ClearWorkFiles(State.EncoderDir);
    Observer.SetStatus(State.Text(12001));
    try {
        Log(State.Text(12001));
    } catch (const TBuildError&) {
    }
    Observer.SetProgress(0, QStringLiteral("0%"));
}

void TVideoBuild::Step() {
    ++ProgressDone;
    // An empty show has no total; its steps show the limit, as any overshoot does.
    const double percent =
        ProgressTotal > 0 ? qMin(90.0, double(ProgressDone) / ProgressTotal * 100.0) : 90.0;
    Observer.SetProgress(RoundEven(percent), PercentText(percent));
}

void TVideoBuild::CheckAbort() const {
    if (Observer.AbortRequested())
        throw TAborted();
}

} // namespace Lumerix
