#pragma once

#include <QtGlobal>

// The process groups of the converter programs running now, for the whole
// process. Each program runs in a group of its own, so that a terminal's
// Ctrl-C does not reach it; a wrapper script's children are in its group too.
// The groups are kept in a fixed table of lock-free atomics, which a signal
// handler may read. Nothing happens on systems without process groups.
class cProcessGroups
{
public:
    cProcessGroups() = delete;

    // Registers a group while its program runs; false when the table is full
    // (the program still runs, but job control does not reach it).
    static bool add(qint64 group);
    // Once the group's program has been waited for; the guard forgets it too
    // (see cProcessGuard).
    static void remove(qint64 group);
    // Sends the signal to every registered group; safe in a signal handler.
    static void signalAll(int signal);
    // Ends every process of the group at once.
    static void kill(qint64 group);

    // For the shells to call once at start: Ctrl-Z (SIGTSTP) stops every
    // converter program, then Marrowby itself the default way, and SIGCONT
    // continues them. A SIGTSTP inherited as ignored stays ignored.
    static void followJobControl();
    // In the converter program's process before it starts: signal handlers,
    // ignored SIGPIPE and blocked signals of Marrowby are not its own.
    static void resetInChild();
};
