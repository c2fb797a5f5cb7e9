#include "WebPlayer.h"

#include "player/TFrameComposer.h"
#include "player/TPlayerSetup.h"
#include "shell/Execute.h"
#include "shell/TLanguage.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Lumerix::WebPlayer {

namespace {

QString ModeName(TEffectMode mode) {
    switch (mode) {
    case TEffectMode::On:
        return QStringLiteral("on");
    case TEffectMode::Random:
        return QStringLiteral("random");
    default:
        return QStringLiteral("off");
    }
}

QJsonObject SettingsObject(const TPlayerSettings& settings) {
    // The composer decides whether the texts need an outline; the page draws what it says.
    const TFrameComposer composer(settings, QSize(1, 1));
    const QColor outline = composer.OutlineColor();
    return {
        {QStringLiteral("stopAtEnd"), settings.StopAtEnd},
        {QStringLiteral("fullscreen"), settings.Fullscreen},
        {QStringLiteral("manual"), settings.Manual},
        {QStringLiteral("captions"), settings.PictureTextVisible},
        {QStringLiteral("fileNames"), settings.FileNameVisible},
        {QStringLiteral("background"), settings.Background().name()},
        {QStringLiteral("text"), composer.TextColor().name()},
        {QStringLiteral("outline"), outline.isValid() ? outline.name() : QString()},
        {QStringLiteral("effectMode"), ModeName(settings.EffectMode)},
        {QStringLiteral("effect"), settings.Effect},
        {QStringLiteral("textOffset"), settings.TextOffset},
    };
}

// Every line of Effects.ini, so line numbers stay as the settings count them; a bad line is
// null and plays as a cut, as in the native player.
QJsonArray EffectLines(const TPlayerSetup& setup) {
    QJsonArray lines;
    if (!setup.Effects)
        return lines;
    int number = 0;
    for (const QString& text : setup.Effects->Texts()) {
        ++number;
        try {
            const TEffectParameters p =
                TEffectsFile::ParseLine(text, setup.Effects->Path(), number);
            lines.append(QJsonArray{p.PaintEffect, p.EffectDelay, p.EffectGrain, p.PaintMaxPasses,
                                    p.WandSize});
        } catch (const TEffectsError&) {
            lines.append(QJsonValue::Null);
        }
    }
    return lines;
}

} // namespace

QStringList KitFiles() {
    return {QStringLiteral("index.html"), QStringLiteral("lumerix-player.js"),
            QStringLiteral("lumerix-player.css")};
}

QByteArray ShowData(const TPlayerSetup& setup) {
    const QDir root(setup.Folder);
    QJsonArray shows;
    for (const TPlayerShow& show : setup.Library.Shows()) {
        QJsonArray pictures;
        for (const TPlayerPicture& picture : show.Pictures())
            pictures.append(QJsonObject{{QStringLiteral("file"), picture.FileName},
                                        {QStringLiteral("caption"), picture.Caption}});
        QJsonArray tracks;
        for (const QString& track : show.Tracks())
            tracks.append(root.relativeFilePath(track));
        shows.append(QJsonObject{{QStringLiteral("folder"), show.Name()},
                                 {QStringLiteral("title"), show.Title()},
                                 {QStringLiteral("seconds"), show.Seconds()},
                                 {QStringLiteral("pictures"), pictures},
                                 {QStringLiteral("tracks"), tracks}});
    }
    const TPlayerTexts& texts = setup.Texts;
    const QJsonObject data{
        {QStringLiteral("product"), QString::fromUtf16(ProductName)},
        {QStringLiteral("settings"), SettingsObject(setup.Settings)},
        {QStringLiteral("texts"), QJsonObject{{QStringLiteral("quit"), texts.QuitHint},
                                              {QStringLiteral("step"), texts.StepHint},
                                              {QStringLiteral("end"), texts.EndText},
                                              {QStringLiteral("noShow"), texts.NoShowText}}},
        {QStringLiteral("intro"),
         QJsonObject{
             {QStringLiteral("enabled"), setup.Intro.Enabled},
             {QStringLiteral("seconds"), setup.Intro.Seconds},
             {QStringLiteral("picture"), setup.Intro.PicturePath.isEmpty()
                                             ? QString()
                                             : root.relativeFilePath(setup.Intro.PicturePath)}}},
        {QStringLiteral("effects"), EffectLines(setup)},
        {QStringLiteral("shows"), shows},
    };
    QByteArray json = QJsonDocument(data).toJson(QJsonDocument::Compact);
    // A caption must not end the script element or break the line: JSON allows the escapes.
    json.replace("<", "\\u003c");
    json.replace("\xe2\x80\xa8", "\\u2028");
    json.replace("\xe2\x80\xa9", "\\u2029");
    return "window.LumerixShows = " + json + ";\n";
}

bool Write(const QString& kitWebDir, const QString& folder, QString* error) {
    const QDir kit(kitWebDir);
    const QDir target(folder);
    for (const QString& name : KitFiles()) {
        if (!Execute::CopyFileAtomic(kit.filePath(name), target.filePath(name), error))
            return false;
    }
    return WriteData(folder, error);
}

bool WriteData(const QString& folder, QString* error) {
    return TextCodec::WriteFileAtomic(QDir(folder).filePath(QString::fromLatin1(DataFile)),
                                      ShowData(TPlayerSetup::Load(folder)), error);
}

} // namespace Lumerix::WebPlayer
