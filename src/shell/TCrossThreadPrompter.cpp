#include "TCrossThreadPrompter.h"

#include <QMetaObject>
#include <QThread>

#include <type_traits>

namespace Lumerix {

template <typename TCall> auto TCrossThreadPrompter::OnOwnerThread(TCall call) {
    using TResult = std::invoke_result_t<TCall>;
    if (QThread::currentThread() == Owner.thread())
        return call();
    if constexpr (std::is_void_v<TResult>) {
        QMetaObject::invokeMethod(&Owner, call, Qt::BlockingQueuedConnection);
    } else {
        TResult result{};
        QMetaObject::invokeMethod(
            &Owner, [&result, &call] { result = call(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

void TCrossThreadPrompter::Information(const QString& text) {
    OnOwnerThread([&] { Target.Information(text); });
}

void TCrossThreadPrompter::Error(const QString& text) {
    OnOwnerThread([&] { Target.Error(text); });
}

bool TCrossThreadPrompter::Confirm(const QString& text) {
    return OnOwnerThread([&] { return Target.Confirm(text); });
}

void TCrossThreadPrompter::PlainError(const QString& text) {
    OnOwnerThread([&] { Target.PlainError(text); });
}

QString TCrossThreadPrompter::ChooseFolder(const QString& title, const QString& startFolder) {
    return OnOwnerThread([&] { return Target.ChooseFolder(title, startFolder); });
}

QStringList TCrossThreadPrompter::ChooseFiles(const QString& title, const QString& startFolder,
                                              const QString& filter, bool multiple) {
    return OnOwnerThread([&] { return Target.ChooseFiles(title, startFolder, filter, multiple); });
}

} // namespace Lumerix
