#pragma once

#include "shell/TProgress.h"

#include <QObject>

#include <atomic>

namespace Lumerix {

/// Progress of a background job for the windows: reports from the job's threads arrive as
/// signals on the window thread, and `Cancel()` asks the job to stop.
class TJobProgress final : public QObject, public TProgress {
    Q_OBJECT
public:
    using QObject::QObject;

    void SetStatus(const QString& text) override { emit StatusChanged(text); }
    void SetPercent(int percent) override { emit PercentChanged(percent); }
    bool Cancelled() const override { return CancelFlag.load(); }

    void Cancel() { CancelFlag = true; }
    /// Ready for the next job.
    void Reset() { CancelFlag = false; }

signals:
    void StatusChanged(const QString& text);
    void PercentChanged(int percent);

private:
    std::atomic_bool CancelFlag = false;
};

} // namespace Lumerix
