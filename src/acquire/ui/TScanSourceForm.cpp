#include "TScanSourceForm.h"

#include "shell/TLanguage.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Lumerix {

TScanSourceForm::TScanSourceForm(const QString& caption, const TLanguage& language,
                                 const QList<TScanDeviceInfo>& devices, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ScanSourceForm"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(language.Pick(QStringLiteral("Scanner und Kameras:"),
                                               QStringLiteral("Scanners and cameras:")),
                                 this));

    DeviceList = new QTreeWidget(this);
    DeviceList->setObjectName(QStringLiteral("DeviceList"));
    DeviceList->setRootIsDecorated(false);
    DeviceList->setHeaderLabels(
        {language.Pick(QStringLiteral("Hersteller"), QStringLiteral("Vendor")),
         language.Pick(QStringLiteral("Modell"), QStringLiteral("Model")),
         language.Pick(QStringLiteral("Typ"), QStringLiteral("Type")),
         language.Pick(QStringLiteral("Gerät"), QStringLiteral("Device"))});
    for (const TScanDeviceInfo& device : devices) {
        auto* item = new QTreeWidgetItem(
            DeviceList, QStringList{device.Vendor, device.Model, device.Type, device.Name});
        item->setData(0, Qt::UserRole, device.Name);
    }
    DeviceList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(DeviceList, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(DeviceList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(DeviceList, &QTreeWidget::currentItemChanged, this, [buttons](QTreeWidgetItem* item) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(item != nullptr);
    });
    resize(560, 300);
}

std::optional<QString> TScanSourceForm::Choose(const QString& current) {
    QTreeWidgetItem* selected = DeviceList->topLevelItem(0);
    for (int i = 0; i < DeviceList->topLevelItemCount(); ++i) {
        if (DeviceList->topLevelItem(i)->data(0, Qt::UserRole).toString() == current)
            selected = DeviceList->topLevelItem(i);
    }
    DeviceList->setCurrentItem(selected);
    if (exec() != QDialog::Accepted || !DeviceList->currentItem())
        return std::nullopt;
    return DeviceList->currentItem()->data(0, Qt::UserRole).toString();
}

} // namespace Lumerix
