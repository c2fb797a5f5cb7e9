#pragma once

#include <QList>

class QDialog;
class QLabel;
class QLayout;
class QWidget;

namespace Lumerix {

class TRunState;

/// The look every wizard window shares: the kit's side picture on the left, a bold heading and
/// the window's own controls beside it, and a row of buttons below.
namespace WizardFrame {

/// The side picture ("recom/wizard.jpg" of the kit).
QLabel* SidePicture(const TRunState& state, QWidget* parent);

/// A bold, wrapping heading.
QLabel* Heading(QWidget* parent);

/// Lays `dialog` out: `side` left, `heading` and `content` right of it, then `leftButtons`
/// at the left and `rightButtons` at the right of the bottom row.
void Arrange(QDialog& dialog, QLabel* side, QLabel* heading, QLayout* content,
             const QList<QWidget*>& leftButtons, const QList<QWidget*>& rightButtons);

} // namespace WizardFrame

} // namespace Lumerix
