#include "Jobs.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace Lumerix::Jobs {

QThreadPool* Pool() {
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setObjectName(QStringLiteral("Lumerix jobs"));
        pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        return true;
    }();
    Q_UNUSED(sized);
    return &pool;
}

TDrainOnExit::~TDrainOnExit() {
    Pool()->clear();
    Pool()->waitForDone();
}

} // namespace Lumerix::Jobs
