#pragma once

#include <QString>
#include <QStringList>

// INI files as other tools write them: spaces around "=", a UTF-8 byte-order mark, CR LF or LF
// line ends, comments (";" or "#"), keys outside any section (ignored), duplicate sections or
// keys (the first wins), and files in Windows-1252 (taken when the file is not valid UTF-8).
// Section and key names match without regard to case. Writing keeps every other line, comment,
// blank line and the file's line ends as they were, and writes UTF-8 without a byte-order mark.
class IniDocument {
public:
    // Loads path; a missing or unreadable file is an empty document.
    explicit IniDocument(const QString &path);

    // The value of key in section without surrounding spaces, or nothing when missing.
    bool find(const QString &section, const QString &key, QString *value) const;
    // Replaces the key's value in place, adds a missing key at the end of its section, a missing
    // section at the end of the document.
    void set(const QString &section, const QString &key, const QString &value);
    // Writes the document back (replacing the file whole, or not at all). False when the file
    // cannot be written, or is read-only (no write permission bit).
    bool save() const;
    int lineCount() const { return int(lines_.size()); }

private:
    struct Located {
        qsizetype section = -1; // line of the section header
        qsizetype end = -1; // one past the section's last key or header line
        qsizetype key = -1; // line of the key
    };
    Located locate(const QString &section, const QString &key) const;

    QString path_;
    // The last section found: an import reads a section's keys one after the other, so its
    // next lookup starts there (lines are only ever added after that section's header).
    mutable QString lastSection_;
    mutable qsizetype lastSectionLine_ = -1;
    QStringList lines_; // without their line ends
    QString lineEnd_; // the file's own, CR LF for a new file
    bool endsWithLineEnd_ = true;
};

// One value, read straight from the file: the value without surrounding spaces, or defaultValue
// when the file, section or key is missing. The value read is written back at once (a missing
// key is created with its default); a file that cannot be written stays as it was, silently.
// Every call names its file, so callers waiting for the user never share a path.
QString ReadIni(
    const QString &file, const QString &section, const QString &key, const QString &defaultValue);

// Stores one value in the file (see IniDocument::set); false when the file cannot be written.
bool WriteIni(
    const QString &file, const QString &section, const QString &key, const QString &value);
