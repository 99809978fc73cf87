#include "workers/cgrouprun.h"

#include "workers/cconversion.h"
#include "workers/cevenlevel.h"
#include "workers/cprocessgroups.h"
#include "workers/debugline.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

cGroupRun::cGroupRun(QObject *parent) : QObject(parent), process(this)
{
    cConversion::prepareProcess(process);
    connect(&process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        programEnded(status == QProcess::NormalExit ? exitCode : -1);
    });
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            programEnded(-2);
    });
}

bool cGroupRun::takes(const QString &source)
{
    const QFileInfo info(source);
    return info.isFile() && info.size() <= maxSourceBytes;
}

bool cGroupRun::accepts(const QStringList &args) const
{
    return members.size() < maxFiles && (members.isEmpty() || args.value(0) == existing);
}

void cGroupRun::add(cConversion *member)
{
    if (members.isEmpty())
        existing = member->runArgs().value(0);
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
    measuring = members.first()->measuresNext();
    // The arguments before the first input: "-y" or "-n", or what a measuring run starts with.
    const qsizetype before = members.first()->runArgs().indexOf(QStringLiteral("-i"));
    QStringList args = members.first()->runArgs().mid(0, before);
    for (const QPointer<cConversion> &member : std::as_const(members))
        args << QStringLiteral("-i") << member->source().path;
    for (qsizetype i = 0; i < members.size(); ++i) {
        QStringList own = members.at(i)->runArgs().mid(before + 2);
        const QString input = QString::number(i);
        args << QStringLiteral("-map") << input + QStringLiteral(":a:0");
        if (measuring) {
            // Each meter reports under a name of its own.
            args << own.replaceInStrings(cEvenLevel::meter(cEvenLevel::firstMeter()),
                                         cEvenLevel::meter(cEvenLevel::firstMeter() + input));
            continue;
        }
        // What a run of its own takes by itself: the input's audio, its tags
        // and chapters (not those of the first input).
        args << QStringLiteral("-map_chapters") << input;
        if (!own.contains(QStringLiteral("-map_metadata")))
            args << QStringLiteral("-map_metadata") << input;
        args << own << members.at(i)->temporaryPath();
    }
    commandLine = debugLine(measuring ? "Measuring loudness with args:" : "Running ffmpeg with args:") +
                  QLatin1Char(' ') + debugList(args);
    running = true;
    process.start(cConversion::program(), args);
    group = cConversion::enterGroup(process);
}

void cGroupRun::stop()
{
    stopped = true;
    alone.clear();
    if (!running)
        return;
    running = false;
    cProcessGroups::kill(group);
    process.kill();
    process.waitForFinished(-1);
    cProcessGroups::remove(group);
    group = 0;
}

void cGroupRun::programEnded(int exitCode)
{
    if (!running)
        return;
    running = false;
    cProcessGroups::remove(group);
    group = 0;
    const QByteArray output = process.readAll();
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
        else if (member->groupMeasured(commandLine, ownMeter(output, static_cast<int>(i))))
            converting << member;
        else
            alone << member; // measures once more, on its own
    }
    // Measured: the files convert together in the group's place (all "-y" or all "-n").
    if (measuring) {
        members.clear();
        for (const QPointer<cConversion> &member : std::as_const(converting))
            (member->runArgs().value(0) == converting.first()->runArgs().value(0) ? members : alone) << member;
        start();
        return;
    }
    runNextAlone();
}

QByteArray cGroupRun::ownMeter(const QByteArray &output, int index)
{
    const QByteArray name = "@" + cEvenLevel::firstMeter().toUtf8();
    return QByteArray(output).replace(name + QByteArray::number(index) + " @", name + " @");
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
    if (!running)
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
