#pragma once

class QThreadPool;

/// Where long jobs and their parallel parts run.
namespace Lumerix::Jobs {

/// The process's job pool, one thread per core (at least two). Every job runs here and never
/// on QThreadPool::globalInstance(): Qt's raster painter splits its own work over the global
/// pool and waits for it on the window thread, so a global pool filled by jobs freezes the
/// window. A job may wait for parts it started here: a waiting thread runs them itself.
QThreadPool* Pool();

/// Declared in `main` right after the application object: on leaving `main` it drops the jobs
/// still queued and waits for those running, while the application they may use (fonts, the
/// platform) still exists. The pool itself lives until static destruction.
class TDrainOnExit {
public:
    TDrainOnExit() = default;
    TDrainOnExit(const TDrainOnExit&) = delete;
    TDrainOnExit& operator=(const TDrainOnExit&) = delete;
    ~TDrainOnExit();
};

} // namespace Lumerix::Jobs
