#pragma once

#include <QProxyStyle>

namespace Lumerix {

/// Hints appear at once and stay ten seconds, in every window of the program.
class TApplicationStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

namespace ApplicationLook {

/// Names the program for the desktop and installs TApplicationStyle. No display name is set:
/// the platform would append it to every caption ("Lumerix : Title — Lumerix").
void SetUp();

} // namespace ApplicationLook

} // namespace Lumerix
