#include "workers/cgrouprun.h"

#include "workers/cconversion.h"
#include "workers/debugline.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

cGroupRun::cGroupRun(QObject *parent) : QObject(parent), run(this)
{
    connect(&run, &cProcessRun::ended, this, &cGroupRun::programEnded);
}

bool cGroupRun::takes(const QString &source)
{
    const QFileInfo info(source);
    return info.isFile() && info.size() <= maxSourceBytes;
}

bool cGroupRun::accepts(const cConversionPlan &plan) const
{
    return members.size() < maxFiles && (members.isEmpty() || plan.leadingArgs() == leading);
}

void cGroupRun::add(cConversion *member)
{
    if (members.isEmpty())
        leading = member->plan().leadingArgs();
    member->setGroup(this);
    members << member;
}

void cGroupRun::start()
{
    if (members.size() == 1 && alone.isEmpty()) {
        members.first()->start();
        deleteLater();
        return;
    }
    if (members.size() == 1) {
        alone.prepend(members.first());
        runNextAlone();
        return;
    }
    if (members.isEmpty()) {
        runNextAlone();
        return;
    }
    measuring = members.first()->plan().measuresNext();
    QStringList args = members.first()->plan().leadingArgs();
    for (const QPointer<cConversion> &member : std::as_const(members))
        args << member->plan().inputArgs();
    for (qsizetype i = 0; i < members.size(); ++i) {
        // Each meter reports under a name of its own.
        const QList<QStringList> outputs = members.at(i)->plan().outputArgs(static_cast<int>(i));
        const QString input = QString::number(i);
        if (measuring) {
            args << QStringLiteral("-map") << input + QStringLiteral(":a:0") << outputs.constFirst();
            continue;
        }
        // What a run of its own takes by itself for each output: the input's
        // audio, its tags and chapters (not those of the first input).
        for (qsizetype j = 0; j < outputs.size(); ++j) {
            const QStringList &own = outputs.at(j);
            args << QStringLiteral("-map") << input + QStringLiteral(":a:0");
            args << QStringLiteral("-map_chapters") << input;
            if (!own.contains(QStringLiteral("-map_metadata")))
                args << QStringLiteral("-map_metadata") << input;
            args << own << members.at(i)->temporaryPath(static_cast<int>(j));
        }
    }
    commandLine = debugLine(measuring ? "Measuring loudness with args:" : "Running ffmpeg with args:") +
                  QLatin1Char(' ') + debugList(args);
    run.start(args);
}

void cGroupRun::stop()
{
    stopped = true;
    alone.clear();
    run.stop();
}

void cGroupRun::programEnded(int exitCode)
{
    const QByteArray output = run.output();
    // A source that can't be opened ends the run before any output is made:
    // it runs alone, and the others share a run again. Once only: a second one
    // hints at more (a folder of broken downloads), and then every file runs
    // alone rather than the group running again for each.
    if (exitCode > 0 && members.size() > 2 && !retriedWithout) {
        qsizetype unopened = 0;
        while (unopened < members.size() && !inputListing(output, static_cast<int>(unopened)).isEmpty())
            ++unopened;
        const bool anyOutput = std::any_of(members.cbegin(), members.cend(),
                                           [](const QPointer<cConversion> &member) { return member->hasOutput(); });
        if (unopened < members.size() && !anyOutput) {
            retriedWithout = true;
            alone << members.takeAt(unopened);
            start();
            return;
        }
    }
    QList<QPointer<cConversion>> converting;
    for (qsizetype i = 0; i < members.size(); ++i) {
        cConversion *const member = members.at(i);
        if (!member)
            continue;
        const QByteArray listing = inputListing(output, static_cast<int>(i));
        // With several audio streams, a run of its own may take another one.
        if (exitCode != 0 || audioStreams(listing, static_cast<int>(i)) != 1 || (!measuring && !member->hasOutput()))
            alone << member;
        else if (!measuring)
            member->groupEnded(commandLine, i == 0 ? output : QByteArray(), listing);
        else if (member->groupMeasured(commandLine, output, static_cast<int>(i)))
            converting << member;
        else
            alone << member; // measures once more, on its own
    }
    // Measured: the files convert together in the group's place (all "-y" or all "-n").
    if (measuring) {
        members.clear();
        for (const QPointer<cConversion> &member : std::as_const(converting))
            (member->plan().leadingArgs() == converting.first()->plan().leadingArgs() ? members : alone) << member;
        start();
        return;
    }
    runNextAlone();
}

// One at a time, so that the group still takes one job's place.
void cGroupRun::runNextAlone()
{
    while (!stopped && !alone.isEmpty()) {
        cConversion *const member = alone.takeFirst();
        if (!member)
            continue;
        connect(member, &cConversion::finished, this, &cGroupRun::runNextAlone, Qt::SingleShotConnection);
        member->startAlone();
        return;
    }
    // Nothing of the run is left to do; a large batch makes many runs.
    if (!run.isRunning())
        deleteLater();
}

QByteArray cGroupRun::inputListing(const QByteArray &output, int index)
{
    const QByteArray head = "Input #" + QByteArray::number(index) + ", ";
    const qsizetype from = output.indexOf(head);
    if (from < 0)
        return QByteArray();
    static const QRegularExpression next(QStringLiteral("\n(Input|Output) #|\nStream mapping:"));
    const QString rest = QString::fromUtf8(output.mid(from + head.size()));
    const qsizetype to = rest.indexOf(next);
    return head + (to < 0 ? rest : rest.left(to)).toUtf8() + '\n';
}

int cGroupRun::audioStreams(const QByteArray &listing, int index)
{
    const QRegularExpression stream(QStringLiteral("^\\s*Stream #%1:\\d+.*: Audio: ").arg(index),
                                    QRegularExpression::MultilineOption);
    int count = 0;
    for (auto it = stream.globalMatch(QString::fromUtf8(listing)); it.hasNext(); it.next())
        ++count;
    return count;
}
