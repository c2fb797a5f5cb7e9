#pragma once

#include "shell/Jobs.h"
#include "shell/ui/TJobProgress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <type_traits>

namespace Lumerix::JobBox {

/// How long a job runs before its box shows: quick jobs do not flash a window.
constexpr int ShowAfterMs = 250;

/// The box of a running job: its text, a progress bar and Cancel. It cannot be closed while
/// the job runs; Escape and the title bar's close button cancel, as the button does.
class TBox final : public QDialog {
public:
    TBox(QWidget* parent, const QString& text, const QString& cancelText, TJobProgress& progress)
        : QDialog(parent), Progress(progress) {
        setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("JobLabel"));
        label->setWordWrap(true);
        Bar = new QProgressBar(this);
        Bar->setObjectName(QStringLiteral("JobProgressBar"));
        Bar->setRange(0, 100);
        Cancel = new QPushButton(cancelText, this);
        Cancel->setObjectName(QStringLiteral("JobCancelButton"));
        layout->addWidget(label);
        layout->addWidget(Bar);
        layout->addWidget(Cancel, 0, Qt::AlignRight);
        setMinimumWidth(360);
        QObject::connect(&Progress, &TJobProgress::PercentChanged, Bar, &QProgressBar::setValue);
        QObject::connect(Cancel, &QPushButton::clicked, this, [this] { reject(); });
    }

    void reject() override {
        Progress.Cancel();
        Cancel->setEnabled(false);
    }

private:
    TJobProgress& Progress;
    QProgressBar* Bar = nullptr;
    QPushButton* Cancel = nullptr;
};

/// Runs `work(progress)` on the job pool and returns its result, while the window thread goes
/// on painting. User input waits until the box shows, and the box is modal: nothing can start
/// a second job or close a window the job works for. The box is named `objectName`.
template <typename TWork>
auto Run(QWidget* parent, const QString& objectName, const QString& text, const QString& cancelText,
         TWork work) -> std::invoke_result_t<TWork, TProgress&> {
    using TResult = std::invoke_result_t<TWork, TProgress&>;
    TJobProgress progress;
    QFutureWatcher<TResult> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<TResult>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(Jobs::Pool(), [work = std::move(work), &progress]() {
        return work(static_cast<TProgress&>(progress));
    }));
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    showTimer.start(ShowAfterMs);
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!watcher.isFinished()) {
        TBox box(parent, text, cancelText, progress);
        box.setObjectName(objectName);
        box.show();
        loop.exec();
        box.hide();
    }
    if constexpr (std::is_void_v<TResult>)
        return;
    else
        return watcher.result();
}

} // namespace Lumerix::JobBox
