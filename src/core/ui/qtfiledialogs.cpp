#include "core/ui/qtfiledialogs.h"

#include <QApplication>
#include <QDir>

namespace corvane {

QtFileDialogs::QtFileDialogs(QWidget *fallbackParent) : m_fallbackParent(fallbackParent) {}

QString QtFileDialogs::nameFilter(const FileDialogRequest &request) {
    const QString pattern = request.filterPattern.trimmed();
    QString label = request.filterLabel.trimmed();
    if (pattern.isEmpty()) return label.isEmpty() ? QStringLiteral("All files (*)") : label;
    if (label.isEmpty()) label = pattern;
    if (label.contains(u'(' + pattern + u')')) return label;
    return label + QStringLiteral(" (") + pattern + u')';
}

QString QtFileDialogs::startFolder(const FileDialogRequest &request) {
    const QString folder = initialFolderFor(request.initialFolder);
    // A fresh account may have no documents folder yet.
    return QDir(folder).exists() ? folder : QDir::homePath();
}

void QtFileDialogs::configure(QFileDialog &dialog, const FileDialogRequest &request, bool save) {
    dialog.setWindowTitle(request.title);
    dialog.setNameFilter(nameFilter(request));
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setDirectory(startFolder(request));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.confirmReplace));
    if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
}

std::optional<QString> QtFileDialogs::run(const FileDialogRequest &request, bool save) {
    QWidget *parent = QApplication::activeWindow();
    if (!parent) parent = m_fallbackParent;
    QFileDialog dialog(parent);
    configure(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest &request) {
    return run(request, false);
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest &request) {
    return run(request, true);
}

}  // namespace corvane
