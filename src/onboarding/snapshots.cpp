#include "snapshots.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace onboarding {

namespace {

constexpr int RunSeconds = 5;

// A virtual display of its own, for a machine without one: the server picks a free number.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                               QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp")});
        if (server_.waitForStarted(5000) && server_.waitForReadyRead(10000))
            name_ = u':' + QString::fromLatin1(server_.readLine().trimmed());
    }
    ~VirtualDisplay()
    {
        server_.terminate();
        if (!server_.waitForFinished(3000))
            server_.kill();
    }
    const QString &name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};

} // namespace

QString takeSnapshot(const QString &gameFile, const QString &machine, const QString &snapFolder,
                     const QString &snapName)
{
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("一時フォルダーを作れません");
    const QString shot = work.filePath(QStringLiteral("shot.png"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<VirtualDisplay> virtualDisplay;
    if (env.value(QStringLiteral("DISPLAY")).isEmpty()) {
        virtualDisplay = std::make_unique<VirtualDisplay>();
        if (virtualDisplay->name().isEmpty())
            return QStringLiteral("画面がなく、仮想画面（Xvfb）も起動できません");
        env.insert(QStringLiteral("DISPLAY"), virtualDisplay->name());
    }
    const QString program = env.value(QStringLiteral("TARUMIN_OPENMSX"), QStringLiteral("openmsx"));
    QProcess openmsx;
    openmsx.setProcessEnvironment(env);
    openmsx.setProcessChannelMode(QProcess::MergedChannels);
    openmsx.start(program, {QStringLiteral("-machine"), machine, QStringLiteral("-cart"), gameFile,
                            QStringLiteral("-command"),
                            QStringLiteral("after time %1 {screenshot -raw {%2}; exit}").arg(RunSeconds).arg(shot)});
    if (!openmsx.waitForStarted(10000))
        return QStringLiteral("openMSX（%1）を起動できません").arg(program);
    if (!openmsx.waitForFinished((RunSeconds + 25) * 1000)) {
        openmsx.kill();
        openmsx.waitForFinished(3000);
        return QStringLiteral("openMSX が終わりません");
    }
    QImage image(shot);
    if (image.isNull()) {
        const QString said = QString::fromLocal8Bit(openmsx.readAll()).trimmed().section(u'\n', -1);
        return QStringLiteral("openMSX が画面を保存しませんでした%1")
            .arg(said.isEmpty() ? QString() : QStringLiteral("（%1）").arg(said));
    }
    // The raw screen is 320 x 240 with the border; the picture is the 256 x 192 inside it.
    if (image.size() == QSize(320, 240))
        image = image.copy(32, 24, 256, 192);
    else if (image.size() != QSize(256, 192))
        image = image.scaled(256, 192, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QDir().mkpath(snapFolder);
    if (!image.save(QDir(snapFolder).filePath(snapName + QStringLiteral(".png")), "PNG"))
        return QStringLiteral("%1 に保存できません").arg(QDir::toNativeSeparators(snapFolder));
    return {};
}

} // namespace onboarding
