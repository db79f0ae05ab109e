#include "platform/LocaleFormats.h"

#include <QLocale>

namespace {

// Applies Edit to the runs of one letter outside quotes of a Qt date format.
template <class F> QString MapRuns(const QString& Format, F Edit) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < Format.size();) {
        const QChar c = Format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < Format.size() && Format[j] == c)
            ++j;
        const QString run = Format.mid(i, j - i);
        out += quoted ? run : Edit(c, run);
        i = j;
    }
    return out;
}

} // namespace

QString ShortDateFormat() {
    return MapRuns(QLocale().dateFormat(QLocale::ShortFormat), [](QChar c, const QString& run) {
        return c == u'y' ? QStringLiteral("yyyy") : run;
    });
}

QString LongTimeFormat() {
    const QString f =
        MapRuns(QLocale().timeFormat(QLocale::LongFormat),
                [](QChar c, const QString& run) { return c == u't' ? QString() : run; });
    return f.trimmed();
}
