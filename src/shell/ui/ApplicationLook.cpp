#include "ApplicationLook.h"

#include <QApplication>

namespace Lumerix {

int TApplicationStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_ToolTip_WakeUpDelay:
        return 0;
    case SH_ToolTip_FallAsleepDelay:
        return 10000;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

namespace ApplicationLook {

void SetUp() {
    QApplication::setApplicationName(QStringLiteral("lumerix"));
    // Ties the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lumerix"));
    QApplication::setStyle(new TApplicationStyle);
}

} // namespace ApplicationLook

} // namespace Lumerix
