#include "launch_request.h"

#include "record.h"

#include "platform/system/launcher.h"

namespace catalogue {

namespace {

// The media of an option as mess.exe is given it ("-cart", any case).
std::optional<Media> mediaOfOption(const QString &option)
{
    const QString lower = option.toLower();
    for (const MediaKind &kind : mediaKinds())
        if (kind.option.trimmed() == lower)
            return kind.media;
    return std::nullopt;
}

} // namespace

QString LaunchRequest::toCommandLine() const
{
    return machine + u' ' + (fmpac ? QString::fromUtf16(FmpacOption) + u' ' : QString()) + launchArgs
           + (state.isEmpty() ? QString() : u' ' + QString::fromUtf16(StateOption) + u' ' + quotedArgument(state));
}

std::optional<Media> LaunchRequest::media() const
{
    return mediaOfOption(platform::splitCommandLine(launchArgs).value(0));
}

QString LaunchRequest::file() const
{
    return platform::splitCommandLine(launchArgs).value(1);
}

std::variant<LaunchRequest, LaunchRequest::Problem> LaunchRequest::parse(const QStringList &arguments)
{
    using Kind = Problem::Kind;
    if (arguments.isEmpty())
        return Problem{Kind::NoMachine, {}};
    LaunchRequest request;
    request.machine = arguments.first().toUpper();
    if (request.machine != QLatin1String("MSX2J") && request.machine != QLatin1String("MSXJ"))
        return Problem{Kind::UnknownMachine, {request.machine}};
    QString option, file;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString given = arguments[i];
        if (i + 1 >= arguments.size())
            return Problem{Kind::OptionWithoutFile, {given}};
        const QString name = arguments[i + 1];
        const QString lower = given.toLower();
        if (lower == QStringView(StateOption)) {
            request.state = name;
            continue;
        }
        if (lower == QLatin1String("-cart") && name.toUpper() == QLatin1String("FMPAC.ROM")) {
            request.fmpac = true;
            continue;
        }
        if (!mediaOfOption(given))
            return Problem{Kind::UnknownOption, {given}};
        if (!option.isEmpty())
            return Problem{Kind::TwoGames, {option, file, lower, name}};
        option = lower;
        file = name;
    }
    if (!option.isEmpty())
        request.launchArgs = option + u' ' + quotedArgument(file);
    return request;
}

} // namespace catalogue
