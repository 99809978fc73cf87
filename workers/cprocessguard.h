#pragma once

#include <QtGlobal>

class QProcess;

// Ends the converter programs with Marrowby, however Marrowby ends: also on a
// kill it can't catch (kill -9, the OOM killer, a job runner's time limit),
// after which a program would otherwise run on by itself and leave its output
// behind. The system kills each program when Marrowby's thread that started
// it ends (so that thread waits for its programs); a program that is a
// wrapper script running ffmpeg as its child takes that child along only
// through its process group, which a guard process ends: forked once, in a
// session of its own, it learns each group from the program's process before
// the program runs, forgets it once Marrowby has waited for the program, and
// kills the groups it still knows when Marrowby is gone. Linux only: on other
// systems the programs are not told and run on to their ends.
class cProcessGuard
{
public:
    cProcessGuard() = delete;

    // In Marrowby, before it starts a program that runs in a group of its
    // own: starts the guard the first time; without one (no descriptors left)
    // the programs still run.
    static void start();
    // In the program's process before it runs the program; parent: Marrowby's
    // process id, taken before the fork. Only calls that are safe there.
    // The system kills the process when the thread that started it ends; it
    // ends at once when Marrowby has already gone.
    static void endWithParent(qint64 parent);
    // After endWithParent, once the process leads its own group: the guard
    // ends that group when Marrowby is gone.
    static void guardGroupInChild();
    // Marrowby has waited for the group's program: the group is no longer its
    // own, and its id may be taken by another's.
    static void release(qint64 group);
    // For a program in Marrowby's own group (a preview's decoding), which
    // only needs to end with Marrowby: sets up its process so.
    static void endWithParent(QProcess &process);
};
