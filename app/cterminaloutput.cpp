#include "app/cterminaloutput.h"

#include <QByteArray>
#include <QChar>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

// Moves to the start of the terminal's line and clears it.
const QString eraseLine = QStringLiteral("\r\x1b[K");

bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) == 1;
#endif
}

// The width of the terminal on standard error; 0 when unknown.
int terminalColumns()
{
#ifdef Q_OS_UNIX
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0)
        return size.ws_col;
#endif
    return 0;
}

// False when the stream took not all of it.
bool put(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const size_t written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    return std::fflush(stream) == 0 && written == static_cast<size_t>(bytes.size());
}

} // namespace

cTerminalOutput::cTerminalOutput() : outputIsTerminal(isTerminal(stdout)), errorIsTerminal(isTerminal(stderr))
{}

bool cTerminalOutput::printLine(const QString &line)
{
    // On a terminal the line goes above the progress line, which is drawn again below it.
    const bool aboveProgress = !progressText.isEmpty() && outputIsTerminal;
    if (aboveProgress)
        put(stderr, eraseLine);
    const bool written = write(printable(line) + QLatin1Char('\n'));
    if (aboveProgress)
        drawProgress();
    return written;
}

bool cTerminalOutput::print(const QString &text)
{
    return write(text);
}

void cTerminalOutput::printError(const QString &line)
{
    put(stderr, printable(line) + QLatin1Char('\n'));
}

bool cTerminalOutput::write(const QString &text)
{
    if (closed)
        return false;
    errno = 0;
    if (!put(stdout, text) && errno == EPIPE) {
        // What is still buffered can never be written.
        closed = true;
        std::clearerr(stdout);
    }
    return !closed;
}

void cTerminalOutput::showProgress(const QString &text)
{
    if (!errorIsTerminal)
        return;
    progressText = text;
    drawProgress();
}

void cTerminalOutput::drawProgress()
{
    if (progressText.isEmpty())
        return;
    // A line longer than the terminal would wrap, and the carriage return
    // would then redraw only its last part.
    QString text = progressText;
    const int columns = terminalColumns();
    if (columns > 1 && text.size() >= columns)
        text.truncate(columns - 1);
    put(stderr, QLatin1Char('\r') + text + QStringLiteral("\x1b[K"));
}

void cTerminalOutput::eraseProgress()
{
    if (progressText.isEmpty())
        return;
    progressText.clear();
    put(stderr, eraseLine);
}

QString cTerminalOutput::printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            shown += c;
        else if (c == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            shown += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            shown += QStringLiteral("\\t");
        else
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return shown;
}
