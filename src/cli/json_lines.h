#pragma once

#include "console_observer.h"

#include <QByteArray>

struct RunOutcome;

// A JSON string of file-system bytes. UTF-8 stays as it is; each byte that is not part of valid
// UTF-8 is written "\udcNN" (NN: the byte), the way Python's "surrogateescape" reads such names,
// so that a path is never dropped and the bytes can be had back exactly.
QByteArray JsonString(QByteArrayView bytes);

// --json: instead of the report lines, one JSON object per line on standard output: one per
// file examined, one per action ended, and the run's end. Progress and messages stay on
// standard error.
class JsonObserver : public ConsoleObserver {
public:
    JsonObserver(std::FILE *out, std::FILE *err, bool progressOnTerminal);

    void fileExamined(const ExaminedFile &file) override;
    void actionEnded(const ActionTotals &action) override;
    void runEnded(const RunOutcome &outcome) override;

private:
    void write(const QByteArray &object);

    std::FILE *out_;
};
