#include "TDialogPrompter.h"

#include "shell/TLanguage.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

namespace Lumerix {

namespace {

QString BoxTitle() {
    return QString::fromUtf16(ProductName);
}

// The places a camera's pictures are found: home, then every memory card, stick or phone the
// desktop mounted (card readers under /media or /run/media, phones over MTP through gvfs).
// Native dialogs list these themselves; Qt's own dialog shows only what it is given.
QList<QUrl> Places() {
    QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath())};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isReady() && (root.startsWith(QLatin1String("/media/")) ||
                                 root.startsWith(QLatin1String("/run/media/")) ||
                                 root.startsWith(QLatin1String("/mnt/"))))
            places.append(QUrl::fromLocalFile(root));
    }
    const QString gvfs =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/gvfs");
    for (const QFileInfo& mount :
         QDir(gvfs).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        places.append(QUrl::fromLocalFile(mount.absoluteFilePath()));
    return places;
}

QStringList RunFileDialog(QWidget* parent, const QString& title, const QString& startFolder,
                          const QString& filter, QFileDialog::FileMode mode) {
    QFileDialog dialog(parent, title, startFolder, filter);
    dialog.setFileMode(mode);
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setSidebarUrls(Places());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

void TDialogPrompter::Information(const QString& text) {
    QMessageBox::information(Parent, BoxTitle(), text);
}

void TDialogPrompter::Error(const QString& text) {
    QMessageBox::critical(Parent, BoxTitle(), text);
}

bool TDialogPrompter::Confirm(const QString& text) {
    return QMessageBox::question(Parent, BoxTitle(), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void TDialogPrompter::PlainError(const QString& text) {
    QMessageBox::warning(Parent, QStringLiteral("Error"), text);
}

QString TDialogPrompter::ChooseFolder(const QString& title, const QString& startFolder) {
    return RunFileDialog(Parent, title, startFolder, QString(), QFileDialog::Directory).value(0);
}

QStringList TDialogPrompter::ChooseFiles(const QString& title, const QString& startFolder,
                                         const QString& filter, bool multiple) {
    return RunFileDialog(Parent, title, startFolder, filter,
                         multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
}

} // namespace Lumerix
