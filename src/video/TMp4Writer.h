#pragma once

#include "TFramePreparation.h"
#include "TVideoFormat.h"
#include "imaging/TTransition.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace Lumerix {

class TProgress;

/// An error of making an MP4; the text names the cause and is shown to the user.
class TMp4Error : public std::runtime_error {
public:
    explicit TMp4Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// The MP4 was not made because the user cancelled.
class TMp4Cancelled : public TMp4Error {
public:
    TMp4Cancelled() : TMp4Error(QStringLiteral("MP4 video cancelled")) {}
};

/// One picture of the video: its file, its caption and its chapter name.
struct TMp4Picture {
    QString Source;
    QString Caption;
    QString Chapter;
};

/// Makes an H.264 / AAC MP4 from pictures and music. Frames are composed in memory (picture,
/// motion, caption, transition) on a thread pool of the writer's own, a few frames ahead, and
/// go straight into the encoder; the file is written beside the result and renamed over it
/// when complete.
class TMp4Writer {
public:
    TMp4Options Options;
    /// Caption font and offset already at the frame's height.
    TFrameLook Look;
    QList<TMp4Picture> Pictures;
    double SecondsPerPicture = 5;
    /// The effect of the transition after picture i (Pictures.size() - 1 of them), or empty
    /// for cuts.
    QList<TEffectParameters> Transitions;
    QStringList MusicTracks;
    QString ResultPath;
    TProgress* Progress = nullptr;

    /// Writes the video; throws `TMp4Cancelled` or `TMp4Error`. The previous result stays
    /// until the new one is complete.
    void Write();

    /// The work file the video is written to before it is renamed.
    QString WorkPath() const { return ResultPath + QStringLiteral(".part"); }

    /// One picture as a frame at motion position `t` (0 … 1), for the tests and the bench.
    /// `picture` is the decoded picture (any size; reduced or not).
    static QImage PictureFrame(const QImage& picture, const QString& caption, double t, int index,
                               const TMp4Options& options, const TFrameLook& look);
};

} // namespace Lumerix
