#include "workers/clockedvalue.h"

#include <QSemaphore>
#include <QThread>
#include <QtTest>

#include <array>
#include <atomic>
#include <memory>

class tst_cLockedValue : public QObject
{
    Q_OBJECT

private slots:
    void startsValueInitialised();
    void readersRacingAWriterSeeOnlyWrittenValues();

private:
    template <typename T>
    int countForeignReads(const QList<T> &values);
};

// A worker reads its stop flag before anyone has set it.
void tst_cLockedValue::startsValueInitialised()
{
    const cLockedValue<int> number;
    const cLockedValue<bool> flag;
    QCOMPARE(number.value(), 0);
    QCOMPARE(flag.value(), false);
}

// Two readers run while a writer cycles through values, until the readers
// have read many times; returns how many reads gave something never written.
template <typename T>
int tst_cLockedValue::countForeignReads(const QList<T> &values)
{
    constexpr int enoughReads = 200000;
    cLockedValue<T> shared;
    shared.setValue(values.first());
    QSemaphore ready;
    QSemaphore go;
    std::atomic_bool writing{true};
    std::atomic_int reads{0};
    std::atomic_int foreign{0};

    auto reader = [&] {
        ready.release();
        go.acquire();
        do {
            if (!values.contains(shared.value()))
                ++foreign;
            ++reads;
        } while (writing);
    };
    std::unique_ptr<QThread> readers[] = {std::unique_ptr<QThread>(QThread::create(reader)),
                                          std::unique_ptr<QThread>(QThread::create(reader))};
    for (const auto &thread : readers)
        thread->start();
    ready.acquire(2);
    go.release(2);
    for (qsizetype i = 0; reads < enoughReads; ++i)
        shared.setValue(values.at(i % values.size()));
    writing = false;
    for (const auto &thread : readers)
        thread->wait();
    return foreign;
}

void tst_cLockedValue::readersRacingAWriterSeeOnlyWrittenValues()
{
    QList<QString> folders;
    for (const char *name : {"/music/in", "/home/user/Sound files/out", "D:/Запись/8k"})
        folders << QString::fromUtf8(name).repeated(40);
    QCOMPARE(countForeignReads(folders), 0);

    // A value whose copy takes long enough for an unguarded one to be caught half done.
    using Block = std::array<qint64, 512>;
    QList<Block> blocks;
    for (qint64 fill : {1, 2, 3}) {
        Block block;
        block.fill(fill);
        blocks << block;
    }
    QCOMPARE(countForeignReads(blocks), 0);
}

QTEST_GUILESS_MAIN(tst_cLockedValue)
#include "tst_clockedvalue.moc"
