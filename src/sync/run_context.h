#pragma once

#include "destination_volume.h"
#include "kept_versions.h"
#include "path_list.h"
#include "report_buffer.h"
#include "run_request.h"
#include "written_volumes.h"

#include <QByteArray>
#include <QSet>

#include <atomic>
#include <memory>
#include <vector>

class RunObserver;

// The comparison of one file on both sides.
struct FileCompare {
    QString Name;
    qint64 SrcLen = 0;
    qint64 SrcDate = 0;
    qint64 DstLen = 0;
    qint64 DstDate = 0;
    unsigned DstMode = 0;
    bool SrcExists = false;
    bool DstExists = false;
    bool SrcFolderExists = false;
    bool DstFolderExists = false;
    bool Copied = false;
};

// The state of one run, shared by the driver and the copy routines.
struct RunContext {
    RunContext(const RunRequest &request, RunObserver &observer, const std::atomic<bool> &cancel,
        const QString &reportFile);

    const RunRequest &request;
    RunObserver &observer;
    const std::atomic<bool> &cancel;
    ReportBuffer report;
    const QDateTime started; // taken once: the stamp of the versions the run keeps

    // The current action.
    int actionNumber = 0; // from 1
    QString FromFolder; // ends with "/"
    QString ToFolder; // ends with "/"
    QByteArray fromPath; // the same as file-system bytes
    QByteArray toPath;
    QString FileFilter;
    QString Enabled; // upper-cased
    QString FileDate;
    QString FileSize;
    bool InclSub = false;
    // The destination's path relative to the origin, ending with "/", when the destination lies
    // inside the origin tree: the walk never enters it. Empty otherwise.
    QByteArray skipFolder;
    // The destination folder's file system (an ordinary disk until the copy routine looks).
    DestinationVolume volume;
    // The origin is a share (or FUSE): listed and probed with many calls in flight.
    bool originSlow = false;
    // On a case-blind destination: the paths copied by the action so far, case folded.
    QSet<QString> foldedPaths;
    // In a simulation: the bytes of destination space the action's copies would take.
    qint64 neededBytes = 0;
    WrittenVolumes written; // the unpluggable destinations copied into
    // Where the current action keeps the files it replaces; none when it keeps nothing.
    std::unique_ptr<KeptVersions> versions;

    bool CopyErrors = false; // a copy failed in the current action
    // A copy failed, or a folder an action needs was missing, anywhere in the run: the run did
    // not do all it was asked, which unattended runs must be told.
    bool anyError = false;
    qint64 ActionFiles = 0;
    qint64 ActionBytes = 0;
    qint64 TotalFiles = 0;
    qint64 TotalBytes = 0;
    PathList fileList; // relative paths of the recursive list

    void add(const QString &line) { report.add(line); }
    void setTitle(const QString &title);
    // Throws RunCancelled when the user asked to stop.
    void stopIfCancelled() const;
    // "#,##0" with the locale's thousands separator.
    QString formatBytes(qint64 bytes) const;
};
