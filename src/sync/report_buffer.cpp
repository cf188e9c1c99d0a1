#include "report_buffer.h"

#include "report_file.h"
#include "run_observer.h"

ReportBuffer::ReportBuffer(RunObserver &observer, QString reportFile)
    : observer_(observer)
    , reportFile_(std::move(reportFile))
{
}

void ReportBuffer::add(const QString &line)
{
    lines_.append(line);
    observer_.lineAdded(line);
}

void ReportBuffer::DumpLogList()
{
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
    return AppendReportLines(reportFile_, lines_.mid(0, std::max<qsizetype>(0, lines_.size() - 1)));
}
