#pragma once

#include <QByteArray>
#include <QString>

// Thrown where a run finds its cancel flag set: the driver writes the cancellation block.
struct RunCancelled { };

// An error that ends a run through the fatal-error block: a number and a French description.
struct RunError {
    int number = 0;
    QString description;
};

// The error for a failed system call on path (errno err), described in French.
RunError SystemError(int err, const QByteArray &path);

// French text of an errno value.
QString DescribeErrno(int err);
