#include "report_buffer.h"

#include "report_file.h"
#include "run_observer.h"

ReportBuffer::ReportBuffer(RunObserver &observer, QString reportFile, bool save)
    : observer_(observer)
    , reportFile_(std::move(reportFile))
    , save_(save)
{
}

void ReportBuffer::add(const QString &line)
{
    lines_.append(line);
    observer_.lineAdded(line);
}

void ReportBuffer::DumpLogList()
{
    if (save_)
        AppendReportLines(reportFile_, lines_);
    lines_.clear();
    observer_.reportFlushed();
}

void ReportBuffer::dumpIfFull()
{
    if (lines_.size() > flushThreshold)
        DumpLogList();
}

bool ReportBuffer::SaveReport()
{
    if (!save_)
        return true;
    return AppendReportLines(reportFile_, lines_.mid(0, std::max<qsizetype>(0, lines_.size() - 1)));
}
