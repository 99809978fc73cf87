#pragma once

#include "core/cbatch.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// Reads the program's arguments: whether it runs with its window or as a
// command without one, what the command is asked to do, and which files the
// window lists. Both readings take the options from one table, so a word is
// an option's value or a mode, never both.
class cCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(cCommandLine)

public:
    enum class Mode
    {
        Window,
        Command,
        BadUsage
    };

    // How the arguments are taken before any application object exists.
    struct Decision
    {
        enum class Fault
        {
            None,
            UnknownOption, // option: its name without dashes, as QCommandLineParser names it
            OptionAsValue, // option: the one whose value value, an option itself, would be
            CommandOnly    // option: an option of the command, as typed, without --convert
        };

        Mode mode = Mode::Window;
        Fault fault = Fault::None;
        QString option;
        QString value;

        // Why it is bad usage, in the language installed.
        QString message() const;
    };

    // Decided from argv alone, before any application object exists, because
    // a QApplication without a display ends the process: Command for
    // --convert, --help and --version before "--"; BadUsage for an option
    // before "--" that is neither the program's nor one Qt takes itself, for
    // an option of the command without --convert, and for an option whose
    // value would be one of the program's options ("-o --convert"); else Window.
    static Decision decide(const QStringList &arguments);
    static Decision decide(int argc, const char *const *argv);

    // What the command is asked to do.
    struct Request
    {
        enum class Action
        {
            Convert,
            Help,
            Version,
            ListFormats,
            ListTargets,
            BadUsage
        };

        Action action = Action::BadUsage;
        QString text; // the help, the version line, the formats, the targets or why it is bad usage
        QStringList paths;
        // The output folder as given (empty for the current folder), the
        // rules and the number of jobs (0: one per processor).
        cBatch::Options options;
        bool quiet = false;
    };

    // Reads the command's arguments, the program's name first.
    static Request readCommand(const QStringList &arguments);

    // The files and folders for the window, from the arguments Qt has left
    // once it took its own options; nothing, after the message, when an
    // option is left.
    static std::optional<QStringList> windowPaths(const QStringList &arguments);

    // Writes the message and where to find help as one line on standard error.
    static void badUsage(const QString &message);

    // The exit status of bad usage: an unknown option, a missing or wrong value, no file.
    static constexpr int badUsageStatus = 2;
    // The exit status when nothing could be converted: the converter program
    // is missing or the output folder can't be made.
    static constexpr int setUpFailedStatus = 3;
    // More conversions at once than this would only wait for the processors,
    // and each holds open files.
    static constexpr int maxJobs = 64;
};
