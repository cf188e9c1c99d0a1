#include "text_match.h"

namespace {

// Classic greedy matcher with one back-tracking point per "*"; both texts are already folded.
bool matchFolded(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool matchFoldedWithDotRule(QStringView pattern, QStringView name)
{
    if (matchFolded(pattern, name))
        return true;
    return pattern.endsWith(u".*") && !name.contains(u'.') && matchFolded(pattern.chopped(2), name);
}

} // namespace

int CompareNoCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

bool EqualsNoCase(const QString &a, const QString &b)
{
    return CompareNoCase(a, b) == 0;
}

bool WildcardMatch(const QString &pattern, const QString &name)
{
    return matchFoldedWithDotRule(pattern.toCaseFolded(), name.toCaseFolded());
}

WildcardFilter::WildcardFilter(const QString &filter)
{
    for (const QString &part : filter.split(u';')) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            patterns_.append(pattern.toCaseFolded());
    }
}

bool WildcardFilter::matches(const QString &name) const
{
    return matchesFolded(name.toCaseFolded());
}

bool WildcardFilter::matchesFolded(const QString &foldedName) const
{
    for (const QString &pattern : patterns_)
        if (matchFoldedWithDotRule(pattern, foldedName))
            return true;
    return false;
}
