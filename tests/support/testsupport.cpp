#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cmath>

#include <csignal>
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace TestSupport {

void useScratchSettings(const QString &dir)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QStringLiteral("Marrowby"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}

bool makeTone(const QString &path, double seconds, int sampleRate, int channels, int frequency)
{
    const QString source =
        QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(frequency).arg(sampleRate).arg(seconds);
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                                            QStringLiteral("-ac"), QString::number(channels), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

QString writeFakeConverter(const QString &dir, const QByteArray &body)
{
    const QString path = QDir(dir).filePath(QStringLiteral("ffmpeg"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QByteArray prependToPath(const QString &dir)
{
    const QByteArray old = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir) + ':' + old);
    return old;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

namespace {

// The collector's state outlives every collector, so that a worker thread
// still logging while one is destroyed finds it intact.
QMutex debugMutex;
QStringList debugLines;
QList<std::chrono::steady_clock::time_point> debugTimes;
std::atomic<QtMessageHandler> handlerBefore{nullptr};

void collectDebug(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type == QtDebugMsg) {
        const QMutexLocker locker(&debugMutex);
        debugLines.append(msg);
        debugTimes.append(std::chrono::steady_clock::now());
    } else if (const QtMessageHandler next = handlerBefore.load()) {
        next(type, context, msg);
    }
}

} // namespace

DebugMessages::DebugMessages()
{
    clear();
    handlerBefore = qInstallMessageHandler(collectDebug);
}

DebugMessages::~DebugMessages()
{
    qInstallMessageHandler(handlerBefore.load());
}

QStringList DebugMessages::lines() const
{
    const QMutexLocker locker(&debugMutex);
    return debugLines;
}

std::chrono::steady_clock::time_point DebugMessages::timeOf(qsizetype line) const
{
    const QMutexLocker locker(&debugMutex);
    return debugTimes.value(line);
}

void DebugMessages::clear()
{
    const QMutexLocker locker(&debugMutex);
    debugLines.clear();
    debugTimes.clear();
}

QString debugQuoted(QString text)
{
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\\\"")) + QLatin1Char('"');
}

QList<qint16> readSamples(const QString &capture)
{
    const QByteArray bytes = readFile(capture);
    QList<qint16> samples(bytes.size() / 2);
    if (!samples.isEmpty())
        qFromLittleEndian<qint16>(bytes.constData(), samples.size(), samples.data());
    return samples;
}

QList<qint16> withoutSilence(const QList<qint16> &samples, int channels)
{
    qsizetype first = 0;
    while (first < samples.size() && samples.at(first) == 0)
        ++first;
    qsizetype last = samples.size();
    while (last > first && samples.at(last - 1) == 0)
        --last;
    first -= first % channels;
    last += (channels - last % channels) % channels;
    return samples.mid(first, last - first);
}

qsizetype loudFrames(const QString &capture, int channels)
{
    return (withoutSilence(readSamples(capture), channels).size() + channels - 1) / channels;
}

namespace {

QStringList descriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

bool isOpenInThisProcess(const QString &path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const QStringList entries = descriptors();
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&](const QString &fd) { return QFile::symLinkTarget(fds.filePath(fd)) == path; });
}

qsizetype openDescriptors()
{
    return descriptors().size();
}

WavHeader readWavHeader(const QString &path)
{
    WavHeader wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wav;
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    QByteArray id(4, '\0');
    QByteArray form(4, '\0');
    quint32 size = 0;
    in.readRawData(id.data(), 4);
    in >> size;
    in.readRawData(form.data(), 4);
    if (id != "RIFF" || form != "WAVE")
        return wav;
    while (in.readRawData(id.data(), 4) == 4) {
        in >> size;
        if (in.status() != QDataStream::Ok)
            break;
        if (id == "data") {
            wav.dataBytes = size;
            break;
        }
        qint64 rest = size + (size & 1);
        if (id == "fmt " && size >= 16) {
            quint32 byteRate = 0;
            quint16 blockAlign = 0;
            in >> wav.format >> wav.channels >> wav.rate >> byteRate >> blockAlign >> wav.bits;
            rest -= 16;
        }
        in.skipRawData(static_cast<int>(rest));
    }
    return wav;
}

bool writeWav(const QString &path, int rate, int channels, const QList<qint16> &samples)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    out.writeRawData("RIFF", 4);
    out << quint32{36 + dataBytes};
    out.writeRawData("WAVEfmt ", 8);
    out << quint32{16} << quint16{1} << static_cast<quint16>(channels) << static_cast<quint32>(rate)
        << static_cast<quint32>(rate * channels * 2) << static_cast<quint16>(channels * 2) << quint16{16};
    out.writeRawData("data", 4);
    out << dataBytes;
    for (const qint16 s : samples)
        out << s;
    return out.status() == QDataStream::Ok;
}

QList<qint16> speechLike(int rate, double seconds, double amplitude)
{
    constexpr double pi = 3.14159265358979323846;
    QList<qint16> samples;
    double phase = 0.0;
    for (qsizetype n = 0; n < static_cast<qsizetype>(rate * seconds); ++n) {
        const double t = static_cast<double>(n) / rate;
        const double pitch = 120.0 + 30.0 * std::sin(2 * pi * 0.7 * t);
        phase += 2 * pi * pitch / rate;
        const double syllable = std::fmod(t, 1.0) > 0.75 ? 0.0 : std::pow(std::sin(2 * pi * 2.0 * t), 2);
        double voice = 0.0;
        for (int k = 1; k * pitch < rate / 2.0 && k < 25; ++k) {
            const double f = k * pitch;
            const double formants = std::exp(-std::pow((f - 700) / 300, 2)) +
                                    0.5 * std::exp(-std::pow((f - 1200) / 400, 2)) +
                                    0.2 * std::exp(-std::pow((f - 2500) / 500, 2)) + 0.05;
            // Scattered phases, as a voice has, not the spikes of a pulse train.
            voice += formants * std::cos(k * phase + std::fmod(0.7 * k * k, 2 * pi));
        }
        samples << static_cast<qint16>(std::clamp(amplitude * 0.2 * syllable * voice, -1.0, 1.0) * 32767);
    }
    return samples;
}

std::pair<double, double> loudness(const QString &path, const QStringList &readBack)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-nostats")} + readBack +
                     QStringList{QStringLiteral("-i"), path, QStringLiteral("-af"),
                                 QStringLiteral("ebur128=peak=true:framelog=verbose"), QStringLiteral("-f"),
                                 QStringLiteral("null"), QStringLiteral("-")});
    const double none = std::nan("");
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {none, none};
    const QString output = QString::fromUtf8(ffmpeg.readAll());
    const QString summary = output.mid(output.lastIndexOf(QStringLiteral("Summary:")));
    const QRegularExpressionMatch i = QRegularExpression(QStringLiteral("I:\\s+(\\S+) LUFS")).match(summary);
    const QRegularExpressionMatch peak = QRegularExpression(QStringLiteral("Peak:\\s+(\\S+) dBFS")).match(summary);
    return {i.hasMatch() ? i.captured(1).toDouble() : none, peak.hasMatch() ? peak.captured(1).toDouble() : none};
}

ChildRun rerunUnprivileged(const QString &testFunction)
{
    constexpr int nobody = 65534;
    ChildRun run;
    QTemporaryDir reach;
    const QString program = reach.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!reach.isValid() || ::chown(QFile::encodeName(reach.path()).constData(), nobody, nobody) != 0 ||
        !QFile::copy(QCoreApplication::applicationFilePath(), program)) {
        run.output = QStringLiteral("no folder the user can reach");
        return run;
    }
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), reach.path());
    environment.insert(QStringLiteral("HOME"), reach.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(126);
    });
    child.start(program, {testFunction});
    const bool ended = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit;
    run.exitCode = ended ? child.exitCode() : -1;
    run.output = QString::fromLocal8Bit(child.readAll());
    return run;
}

SoundServer::SoundServer()
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary folder");
        return;
    }
    // The server keeps its state in the folder, not in the user's home; it
    // ends when the process that started it dies, so a crashed test leaves
    // nothing running.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        environment.insert(QString::fromLatin1(name), dir.path());
    server.setProcessEnvironment(environment);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server.start(QStringLiteral("pulseaudio"),
                 {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--use-pid-file=no"),
                  QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                  QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                  QStringLiteral("--load=module-null-sink sink_name=out rate=48000"),
                  QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1")
                      .arg(dir.filePath(QStringLiteral("native")))});
    if (!server.waitForStarted(10000)) {
        failure = QStringLiteral("pulseaudio did not start: %1").arg(server.errorString());
        return;
    }
    const QDeadlineTimer deadline(10000);
    while (runClient(QStringLiteral("pactl"), {QStringLiteral("info")}).isNull()) {
        if (deadline.hasExpired() || server.waitForFinished(50)) {
            failure = QStringLiteral("pulseaudio did not take clients: %1")
                          .arg(QString::fromLocal8Bit(server.readAll()).trimmed());
            return;
        }
    }
}

SoundServer::~SoundServer()
{
    if (server.state() == QProcess::NotRunning)
        return;
    server.terminate();
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(5000);
    }
}

QProcessEnvironment SoundServer::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"),
                       QStringLiteral("unix:") + dir.filePath(QStringLiteral("native")));
    environment.insert(QStringLiteral("PULSE_COOKIE"), dir.filePath(QStringLiteral("cookie")));
    return environment;
}

void SoundServer::useInThisProcess(bool use) const
{
    const QProcessEnvironment environment = clientEnvironment();
    for (const QString &name : {QStringLiteral("PULSE_SERVER"), QStringLiteral("PULSE_COOKIE")}) {
        if (use)
            qputenv(name.toLatin1().constData(), environment.value(name).toLocal8Bit());
        else
            qunsetenv(name.toLatin1().constData());
    }
}

bool SoundServer::startRecorder(QProcess &recorder, int latencyMs) const
{
    const auto recorders = [this] {
        return runClient(QStringLiteral("pactl"),
                         {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("source-outputs")})
            .count('\n');
    };
    const qsizetype before = recorders();
    QStringList arguments{QStringLiteral("--device=out.monitor"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=48000"),
                          QStringLiteral("--channels=1")};
    if (latencyMs > 0)
        arguments << QStringLiteral("--latency-msec=%1").arg(latencyMs);
    recorder.setProcessEnvironment(clientEnvironment());
    recorder.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    recorder.start(QStringLiteral("parecord"), arguments);
    if (!recorder.waitForStarted(10000))
        return false;
    // The monitor gives only what plays after the recorder is connected.
    const QDeadlineTimer deadline(10000);
    while (recorders() <= before) {
        if (deadline.hasExpired() || recorder.waitForFinished(20))
            return false;
    }
    return true;
}

// A client's standard output, or a null array when it failed.
QByteArray SoundServer::runClient(const QString &program, const QStringList &arguments) const
{
    QProcess client;
    client.setProcessEnvironment(clientEnvironment());
    client.start(program, arguments);
    if (!client.waitForFinished(10000) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
        return QByteArray();
    const QByteArray output = client.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

} // namespace TestSupport
