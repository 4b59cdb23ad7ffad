#include "snapshots.h"

#include "snapshot_picture.h"

#include "platform/system/modules.h"

#include <QDir>
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

SnapshotResult takeSnapshot(const QString &gameFile, const QString &machine,
                            const QString &snapFolder, const QString &snapName)
{
    using Kind = SnapshotResult::Kind;
    const auto crop = reinterpret_cast<CropSnapshot>(
        platform::moduleFunction(PictureModuleName, CropSnapshotSymbol));
    if (!crop)
        return {Kind::NoPictureCode, {}};
    QTemporaryDir work;
    if (!work.isValid())
        return {Kind::NoWorkFolder, {}};
    const QString shot = work.filePath(QStringLiteral("shot.png"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<VirtualDisplay> virtualDisplay;
    if (env.value(QStringLiteral("DISPLAY")).isEmpty()) {
        virtualDisplay = std::make_unique<VirtualDisplay>();
        if (virtualDisplay->name().isEmpty())
            return {Kind::NoDisplay, {}};
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
        return {Kind::CannotStart, program};
    if (!openmsx.waitForFinished((RunSeconds + 25) * 1000)) {
        openmsx.kill();
        openmsx.waitForFinished(3000);
        return {Kind::DidNotEnd, {}};
    }
    QDir().mkpath(snapFolder);
    switch (crop(shot, QDir(snapFolder).filePath(snapName + QStringLiteral(".png")))) {
    case CropResult::Saved: return {Kind::Taken, {}};
    case CropResult::Unreadable:
        return {Kind::NoPicture, QString::fromLocal8Bit(openmsx.readAll()).trimmed().section(u'\n', -1)};
    case CropResult::NotSaved: break;
    }
    return {Kind::CannotSave, QDir::toNativeSeparators(snapFolder)};
}

} // namespace onboarding
