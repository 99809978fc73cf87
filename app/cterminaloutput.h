#pragma once

#include <QString>
#include <QtGlobal>

// What the command writes for people and scripts: one line per result on
// standard output, control characters escaped; while standard error is a
// terminal, a progress line there that the lines are written above. Notices
// when standard output is closed (a "| head" that has read enough).
class cTerminalOutput final
{
public:
    cTerminalOutput();
    Q_DISABLE_COPY_MOVE(cTerminalOutput)

    // Writes the line escaped on standard output, above the progress line.
    // False once standard output is closed: nothing more is written there.
    bool printLine(const QString &line);
    // Writes the text as it is (help, version) on standard output.
    bool print(const QString &text);
    // Writes the line escaped on standard error.
    static void printError(const QString &line);

    // Whether a progress line can be shown: standard error is a terminal.
    bool canShowProgress() const { return errorIsTerminal; }
    // Shows the text as the progress line, or draws it again; nothing unless it can be shown.
    void showProgress(const QString &text);
    void eraseProgress();

    bool outputClosed() const { return closed; }

    // The text with its control characters escaped: a line break or a
    // terminal's escape sequence in a name would break the one line per file
    // or act on the terminal; they are shown as "\n" or "\x1b".
    static QString printable(const QString &text);

private:
    bool write(const QString &text);
    void drawProgress();

    const bool outputIsTerminal;
    const bool errorIsTerminal;
    QString progressText; // empty while no progress line is shown
    bool closed = false;
};
