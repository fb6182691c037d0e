#include "VersionComparator.h"

#include <QList>

namespace {

// A version split into runs of digits and runs of other characters, with
// separators ('.', '-', '_', '+', spaces) dropped: "1.10b2" -> 1, 10, "b", 2.
struct Part {
    bool isNumber = false;
    QString text;
};

QList<Part> split(const QString& version)
{
    QList<Part> parts;
    Part current;
    bool inPart = false;
    auto flush = [&] {
        if (inPart)
            parts.append(current);
        current = Part();
        inPart = false;
    };
    for (const QChar c : version.trimmed()) {
        if (c == u'.' || c == u'-' || c == u'_' || c == u'+' || c.isSpace()) {
            flush();
            continue;
        }
        const bool digit = c >= u'0' && c <= u'9';
        if (inPart && digit != current.isNumber)
            flush();
        current.isNumber = digit;
        current.text += c;
        inPart = true;
    }
    flush();
    return parts;
}

// Compares digit strings of any length without overflowing.
int compareNumbers(QString a, QString b)
{
    while (a.size() > 1 && a.startsWith(u'0'))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(u'0'))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

bool isZero(const Part& part)
{
    if (!part.isNumber)
        return false;
    for (const QChar c : part.text)
        if (c != u'0')
            return false;
    return true;
}

} // namespace

int VersionComparator::compare(const QString& a, const QString& b)
{
    const QList<Part> left = split(a);
    const QList<Part> right = split(b);
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const Part& l = left.at(i);
        const Part& r = right.at(i);
        if (l.isNumber && r.isNumber) {
            if (const int c = compareNumbers(l.text, r.text))
                return c < 0 ? -1 : 1;
        } else if (l.isNumber != r.isNumber) {
            // "2.0.1" vs "2.0b": a number continues the release, letters
            // start a pre-release, so the number is newer.
            return l.isNumber ? 1 : -1;
        } else if (const int c = l.text.compare(r.text, Qt::CaseInsensitive)) {
            return c < 0 ? -1 : 1;
        }
    }
    // One is a prefix of the other. Trailing zeros change nothing; a trailing
    // number makes a newer version, trailing letters a pre-release.
    const QList<Part>& longer = left.size() > right.size() ? left : right;
    const int sign = left.size() > right.size() ? 1 : -1;
    for (qsizetype i = common; i < longer.size(); ++i) {
        if (isZero(longer.at(i)))
            continue;
        return longer.at(i).isNumber ? sign : -sign;
    }
    return 0;
}
