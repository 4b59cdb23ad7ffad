#include "file_picker.h"

#include <QFileDialog>
#include <QStringList>

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
    const QString name = QFileDialog::getOpenFileName(parent, QString(), startFolder,
                                                      toolkitFilter(filter), nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace platform
