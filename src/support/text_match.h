#pragma once

#include <QString>
#include <QStringList>

// Case-insensitive text helpers. Comparisons fold case the Unicode way, so "É" equals "é".

// Compares two texts without regard to case: negative, zero or positive.
int CompareNoCase(const QString &a, const QString &b);
bool EqualsNoCase(const QString &a, const QString &b);

// Matches name against one wildcard pattern ("*" any run of characters, "?" one character)
// without regard to case. As users of "*.*" expect, a pattern ending in ".*" also matches a
// name that lacks the dot and the extension ("*.*" matches "README").
bool WildcardMatch(const QString &pattern, const QString &name);

// A file filter of one or more wildcard patterns separated by ";", prepared once and then
// matched against many names.
class WildcardFilter {
public:
    explicit WildcardFilter(const QString &filter);
    bool matches(const QString &name) const;
    // The same for a name already case-folded (QString::toCaseFolded).
    bool matchesFolded(const QString &foldedName) const;

private:
    QStringList patterns_; // case-folded, blank entries dropped
};
