#pragma once

#include "TIniFile.h"
#include "TLanguage.h"

#include <QString>

namespace Lumerix {

/// Transition mode of the settings page and of "EffectMode".
enum class TEffectMode { Off, On, Random };

/// Where the program finds its folders before any preference is read.
struct TFolderLocations {
    QString ProgramDir; ///< everything the program creates or rewrites
    QString KitDir;     ///< the read-only shipped kit
    QString HomeDir;
    QString DesktopDir; ///< may be empty when the desktop has none
    QString DocumentsDir;

    /// The locations of this user and installation; `LUMERIX_PROGRAM_DIR` and
    /// `LUMERIX_KIT_DIR` override the program and kit folders.
    static TFolderLocations ForThisUser();
};

/// `Generator.ini` in the program folder, read from the kit's copy until the program writes it.
TIniFile GeneratorIni(const QString& programDir, const QString& kitDir);

/// The state of a run: every path and the open slideshow's values. Created once at start-up
/// and passed by reference; no other code computes a path.
class TRunState {
public:
    /// Video timing: frames per second and nominal frames per transition.
    static constexpr int VideoFramesPerSecond = 25;
    static constexpr int TransitionFrames = 12;

    TRunState(const TFolderLocations& locations, QString languageCode);

    const TLanguage& Language() const { return Lang; }
    QString Text(int number) const { return Lang.Text(number); }

    /// Sets the workspace base (an empty text means the home folder) and derives every
    /// workspace path from it and the language. It is also the base the preferences keep.
    void SetWorkspaceBase(const QString& base);
    /// Sets the workspace base for this run only: the preferences keep the stored one.
    void OverrideWorkspaceBase(const QString& base);
    const QString& WorkspaceBase() const { return Base; }
    /// The base "Drive" keeps: the last one set with `SetWorkspaceBase`.
    const QString& StoredWorkspaceBase() const { return StoredBase; }

    // Folders, each ending in "/".
    QString ProgramDir;
    QString KitDir;
    QString HomeDir;
    QString DesktopDir;
    QString WorkspaceDir;
    QString VideoDir;
    QString EncoderDir;
    QString CdRomDir;
    QString PersonalDir;
    QString ScreensaverDir;

    // The open slideshow.
    QString CurrentShow;
    QString ShowTitle;
    QString SecondsPerPicture;
    QString SourceDir;
    int UndoCount = 0;

    // Playback settings (the settings page edits them).
    bool EndlessPlay = false;
    bool Fullscreen = true;
    bool Manual = true;
    bool PictureTextVisible = false;
    bool FileNameVisible = false;
    qint64 BackgroundColor = 0;
    qint64 TextColor = 0;
    TEffectMode EffectMode = TEffectMode::Off;
    int Effect = 1;
    int EffectCount = 0; ///< lines of Effects.ini: the upper bound of `Effect`
    int TextOffset = 0;

    /// Program name edition: a program file named like "diashow" is the German edition.
    bool GermanEdition = false;

    // Files of the program and kit folders.
    QString KitFile(const QString& name) const { return KitDir + name; }
    QString ProgramFile(const QString& name) const { return ProgramDir + name; }
    TIniFile GeneratorIni() const;
    QString LanguageIniPath() const { return KitFile(QStringLiteral("Language.ini")); }
    QString TipDir() const { return KitDir + Lang.TipFolder(); }
    QString HelpFile() const { return KitDir + Lang.HelpFolder() + QStringLiteral("help.html"); }

    /// Tips show after opening a slideshow until the user ticks them off ("NoTip.ini").
    bool TipsWanted() const;
    void SetTipsWanted(bool wanted) const;

    /// Player file name in the workspace root: "Diashow-Player" or "Slideshow-Player".
    QString PlayerName() const;
    /// The main window's caption: the product name, then " : " and the title once one is open.
    QString Caption() const;

private:
    TLanguage Lang;
    QString Base;
    QString StoredBase;
};

} // namespace Lumerix
