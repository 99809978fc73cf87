#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// Reads the program's arguments: whether it runs with its window or as a
// command without one, and which files the window lists.
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

    // Decided from argv alone, before any application object exists, because
    // a QApplication without a display ends the process. Command for
    // --convert, --help and --version; BadUsage for an option before "--"
    // that is neither one of those nor one Qt takes itself, named in unknown
    // as QCommandLineParser would name it; else Window.
    static Mode mode(int argc, const char *const *argv, QString *unknown = nullptr);

    // The files and folders for the window, from the arguments Qt has left
    // once it took its own options; nothing, after the message, when an
    // option is left.
    static std::optional<QStringList> windowPaths(const QStringList &arguments);

    // Writes the message and where to find help as one line on standard error.
    static void badUsage(const QString &message);

    // Writes that the option is unknown, as badUsage does.
    static void unknownOption(const QString &name);

    // The exit status of bad usage: an unknown option, a missing or wrong value, no file.
    static constexpr int badUsageStatus = 2;
};
