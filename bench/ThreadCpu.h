#pragma once
// Processor time of single threads of this process, read from /proc/self/task: the
// thread's name and clock ticks from its stat file, and, where the kernel keeps it,
// the nanoseconds it ran from its schedstat file (ticks are 10 ms apart, too coarse
// for a thread that runs a few milliseconds a second).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <unistd.h>

namespace quorvex::bench {

struct ThreadCpu {
    int tid = 0;
    QByteArray name;  // as the kernel keeps it: at most 15 bytes
    double seconds = 0;
};

inline QByteArray ReadProcFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One thread's name and CPU time (user and system); tid 0 when the thread is gone.
inline ThreadCpu ReadThreadCpu(int tid) {
    const QString dir = QStringLiteral("/proc/self/task/%1/").arg(tid);
    const QByteArray stat = ReadProcFile(dir + QStringLiteral("stat"));
    // "tid (name) state ppid …": the name may hold spaces and parentheses, the rest not.
    const qsizetype open = stat.indexOf('('), close = stat.lastIndexOf(')');
    if (open < 0 || close < open) return {};
    ThreadCpu t;
    t.tid = tid;
    t.name = stat.mid(open + 1, close - open - 1);
    // After the name: field 3 (state) onwards; utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() > 12) t.seconds = (fields[11].toDouble() + fields[12].toDouble()) / ::sysconf(_SC_CLK_TCK);
    const QList<QByteArray> sched = ReadProcFile(dir + QStringLiteral("schedstat")).split(' ');
    bool ok = false;
    const double ns = sched.value(0).toDouble(&ok);
    if (ok && ns > 0) t.seconds = ns / 1e9;
    return t;
}

// Every thread of the process now.
inline QList<ThreadCpu> ReadAllThreadsCpu() {
    QList<ThreadCpu> all;
    for (const QString& entry : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const ThreadCpu t = ReadThreadCpu(entry.toInt()); t.tid != 0) all << t;
    return all;
}

// The first thread whose kernel name is `name` cut to the kernel's 15 bytes; tid 0 if none.
inline ThreadCpu FindThread(const QByteArray& name) {
    for (const ThreadCpu& t : ReadAllThreadsCpu())
        if (t.name == name.left(15)) return t;
    return {};
}

}  // namespace quorvex::bench
