#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace Lumerix {

class TRunState;

/// "Audio berechnen": what the sound track join is doing, shown beside the video creator
/// while the music is joined to the show's length.
class TWaveForm final : public QDialog {
    Q_OBJECT
public:
    explicit TWaveForm(const TRunState& state, QWidget* parent = nullptr);

    /// Empties the labels, sets the bar to 0 and shows the window.
    void Start();
    void SetFile(const QString& text);
    void SetPosition(int percent, const QString& position);

private:
    QLabel* Label1 = nullptr; // percentage
    QLabel* Label2 = nullptr; // heading
    QLabel* Label3 = nullptr; // current file
    QLabel* Label4 = nullptr; // position
    QProgressBar* ProgressBar1 = nullptr;
};

} // namespace Lumerix
