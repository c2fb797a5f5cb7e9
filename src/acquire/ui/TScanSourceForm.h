#pragma once

#include "acquire/TScanner.h"

#include <QDialog>

#include <optional>

class QTreeWidget;

namespace Lumerix {

class TLanguage;

/// Lists the scanners and cameras SANE reaches, one line each with vendor, model, type and
/// device name, and lets the user choose one.
class TScanSourceForm final : public QDialog {
    Q_OBJECT
public:
    TScanSourceForm(const QString& caption, const TLanguage& language,
                    const QList<TScanDeviceInfo>& devices, QWidget* parent = nullptr);

    /// Shows the list with `current` selected (else the first line); the chosen device's
    /// name, or nothing when cancelled.
    std::optional<QString> Choose(const QString& current);

private:
    QTreeWidget* DeviceList = nullptr;
};

} // namespace Lumerix
