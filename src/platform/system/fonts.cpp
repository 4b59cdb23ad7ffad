#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform {

namespace {
const QString MsGothic = QStringLiteral("ＭＳ ゴシック");

// The gothic faces that stand in for it where Windows' own is missing, in order of preference.
QStringList gothicStandIns()
{
    return {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("VL Gothic")};
}
} // namespace

void installFontSubstitutes()
{
#ifndef Q_OS_WIN
    QFont::insertSubstitutions(MsGothic, gothicStandIns());
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothicStandIns());
#endif
}

QFont gothicFont(int pointSize)
{
    // A Japanese gothic holds every character the window writes in it, so when the system has
    // one, it is asked for by its own name and Qt need not line up other fonts to draw from:
    // that search through every font on the system took longer than the rest of the window's
    // first paint. The installed families are looked through as a list: asking Qt about a
    // family it does not have makes fontconfig work through its whole configuration.
    static const QString installed = [] {
        const QStringList families = QFontDatabase::families();
        QStringList faces = gothicStandIns();
        faces.prepend(MsGothic);
        for (const QString &face : std::as_const(faces)) {
            for (const QString &family : families) {
                if (family.compare(face, Qt::CaseInsensitive) == 0)
                    return family;
            }
        }
        return QString();
    }();
    QFont font(installed.isEmpty() ? MsGothic : installed);
    font.setPointSize(pointSize);
    if (!installed.isEmpty())
        font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace platform
