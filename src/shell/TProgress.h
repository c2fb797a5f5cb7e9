#pragma once

#include <QString>

#include <atomic>

namespace Lumerix {

/// Progress of a long job: status text, percentage and the user's wish to cancel. Jobs run off
/// the window thread and may report from any thread; implementations take care of that.
class TProgress {
public:
    virtual ~TProgress() = default;

    virtual void SetStatus(const QString& text) = 0;
    virtual void SetPercent(int percent) = 0;
    virtual bool Cancelled() const = 0;
};

/// Progress that shows nothing and is cancelled only through `Cancel()`.
class TSilentProgress final : public TProgress {
public:
    void SetStatus(const QString&) override {}
    void SetPercent(int) override {}
    bool Cancelled() const override { return CancelFlag.load(); }
    void Cancel() { CancelFlag = true; }

private:
    std::atomic_bool CancelFlag = false;
};

} // namespace Lumerix
