#include "file_picker.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QStringList>
#include <QTreeView>

namespace platform {

namespace {
FilePickerHandler &handler()
{
    static FilePickerHandler h;
    return h;
}
} // namespace

void setFilePickerHandler(FilePickerHandler h)
{
    handler() = std::move(h);
}

QString toolkitFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            // On Windows "*.*" matches names without a dot too; elsewhere only "*" does.
            if (p.trimmed() == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> pickFileToOpen(QWidget *parent, const QString &filter,
                                      const QString &startFolder)
{
    if (handler())
        return handler()(filter);
    QFileDialog dialog(parent, QString(), startFolder, toolkitFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Qt's own dialog (where the system has none): its list in details, wide enough for
    // Japanese names, sizes and dates without cutting them.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        dialog.setViewMode(QFileDialog::Detail);
        dialog.resize(760, 460);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < details->header()->count(); ++column)
            details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> pickFolder(QWidget *parent, const QString &caption, const QString &startFolder)
{
    if (handler())
        return handler()(QStringLiteral("<folder>"));
    const QString folder = QFileDialog::getExistingDirectory(parent, caption, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace platform
