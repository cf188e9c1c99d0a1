#pragma once

#include <QString>

// Small file-system probes shared by the windows and the run engine.
// None of them shows a message or throws: every failure is a plain result.
// None of them changes the process's current directory (runs work on a worker thread).

// True when folder + fileName names at least one normal file. The last path component may hold
// the wildcards "*" and "?" (matched without regard to case). Folders, hidden files (name
// beginning with ".") and system files (anything that is not a regular file) are never found.
bool FileExists(const QString &fileName, const QString &folder = {});

// True when path is an existing folder that can be entered.
bool FolderExists(const QString &path);

// Creates every missing level of a folder path, ignoring each failure and going on.
// A relative path is created below the current directory.
void MakeDir(const QString &path);
// The same for a path in file-system bytes (names need not be valid UTF-8).
void MakeDir(const QByteArray &path);

// path followed by the separator "/" unless it already ends with one; empty when path is blank.
QString AddBackslash(const QString &path);

// What follows the last "." of fileName (the whole name when it holds no "."), with the dot
// in front when withDot is true.
QString GetExtension(const QString &fileName, bool withDot);
