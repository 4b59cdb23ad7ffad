#pragma once

#include "media.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What Tarumin asks the emulator for, in one place for the window that starts it, the running
// games that talk to it and the adapter that stands in for MESS: the machine, the FM-PAC, and
// the game's launch arguments as its catalogue line holds them.
namespace catalogue {

inline constexpr char16_t FmpacOption[] = u"-CART FMPAC.ROM";
inline constexpr char16_t StateOption[] = u"-state";

struct LaunchRequest
{
    QString machine = QStringLiteral("MSX2J"); // "MSX2J" or "MSXJ"
    bool fmpac = false;
    QString launchArgs; // "-cart game.rom": the line's own text, passed on unchanged
    QString state;      // the adapter's own "-state FILE": a saved state to start from (openMSX)

    // What mess.exe is given after its name: "MSX2J -CART FMPAC.ROM -cart game.rom".
    QString toCommandLine() const;

    // The media the launch arguments begin with, and the file they name (the word after the
    // option, read as the Windows runtime reads it).
    std::optional<Media> media() const;
    QString file() const;

    // Why a command line is not one of Tarumin's.
    struct Problem
    {
        enum class Kind { NoMachine, UnknownMachine, OptionWithoutFile, UnknownOption, TwoGames };
        Kind kind;
        QStringList words; // the machine, the option, or both games' options and files
    };
    // Reads mess.exe's arguments (after its name): the machine (in any case), the FM-PAC
    // ("-CART FMPAC.ROM", in any case), at most one game, its option in any case, and the
    // adapter's own options ("-state FILE").
    static std::variant<LaunchRequest, Problem> parse(const QStringList &arguments);

    bool operator==(const LaunchRequest &other) const = default;
};

} // namespace catalogue
