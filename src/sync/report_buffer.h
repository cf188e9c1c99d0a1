#pragma once

#include <QString>
#include <QStringList>

class RunObserver;

// The on-screen report of a run: every line goes to the observer as it is added, and to the
// project's report file when the buffer is flushed or saved.
class ReportBuffer {
public:
    // Beyond this many lines the folder copies flush the buffer to the file.
    static constexpr qsizetype flushThreshold = 30000;

    // With save false nothing is ever written to the report file.
    ReportBuffer(RunObserver &observer, QString reportFile, bool save = true);

    void add(const QString &line);
    qsizetype size() const { return lines_.size(); }
    const QStringList &lines() const { return lines_; }
    QString reportFile() const { return reportFile_; }

    // Appends every line to the report file, then empties the buffer (also when the write
    // failed: those lines are lost, the run goes on).
    void DumpLogList();
    // DumpLogList once the buffer holds more than flushThreshold lines.
    void dumpIfFull();
    // Appends every line but the last (the one that names the report file) to the report
    // file; the buffer keeps its lines. False when the file could not be written.
    bool SaveReport();

private:
    RunObserver &observer_;
    QString reportFile_;
    QStringList lines_;
    bool save_;
};
