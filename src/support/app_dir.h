#pragma once

#include <QString>

// The application folder (AppDir), ending with "/": exeDir when the program may write there
// (the build tree, a portable copy), otherwise perUserDir, created when missing.
// An installed program (its desktop entry in exeDir/../share/applications) always uses
// perUserDir, so that each user has a database of their own, root included.
// Empty when neither can be written.
QString ResolveAppDir(const QString &exeDir, const QString &perUserDir);
