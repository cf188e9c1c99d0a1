#pragma once

#include <QString>

// The application folder (AppDir), ending with "/": exeDir when the program may write there
// (the build tree, a portable copy), otherwise perUserDir, created when missing.
// Empty when neither can be written.
QString ResolveAppDir(const QString &exeDir, const QString &perUserDir);
