#pragma once

#include "audio/TAudioInspector.h"

#include <QDialog>
#include <QHash>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Lumerix {

class TPrompter;
class TRunState;

/// The "Audio Info" window: what an MP3 or WAV file is, in one of two panels. Shown
/// non-modally; showing it inspects the file set by `SetAudioFileName`.
class TCheckAudioForm final : public QDialog {
    Q_OBJECT
public:
    TCheckAudioForm(const TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);

    /// Sets the file to inspect; an open window inspects it at once.
    void SetAudioFileName(const QString& path);
    const QString& AudioFileName() const { return FileName; }

    /// Analyses the file, fills the window and keeps the result strings; a message goes to
    /// the prompter as information.
    const TAudioInfo& Inspect();
    const TAudioInfo& Info() const { return Result; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakePanel(const char* name, const QList<std::pair<QString, const char*>>& fields,
                       bool edits);

    const TRunState& State;
    TPrompter& Prompter;
    QString FileName;
    TAudioInfo Result;

    QLabel* Label1;
    QWidget* MP3Panel;
    QWidget* WavePanel;
    QPushButton* CloseButton;
    /// The value widgets of each panel by field caption.
    QHash<QString, QLabel*> Mp3Texts;
    QHash<QString, QLineEdit*> WaveEdits;
};

} // namespace Lumerix
