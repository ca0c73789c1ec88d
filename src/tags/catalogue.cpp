#include "catalogue.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace Quorvant {

namespace {

struct KindName
{
    CatalogueKind kind;
    const char *name;
};

constexpr KindName KindNames[] = {
    {CatalogueKind::Toolbar, "toolbar"}, {CatalogueKind::Tabs, "tabs"},       {CatalogueKind::Page, "page"},
    {CatalogueKind::Menu, "menu"},       {CatalogueKind::Insert, "insert"},   {CatalogueKind::Wizard, "wizard"},
    {CatalogueKind::Command, "command"}, {CatalogueKind::Inert, "inert"},     {CatalogueKind::Separator, "separator"},
    {CatalogueKind::Spacer, "spacer"},
};

bool kindFromName(const QString &name, CatalogueKind *kind)
{
    for (const KindName &k : KindNames) {
        if (name == QLatin1String(k.name)) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

enum Column { KindColumn, PlaceColumn, NameColumn, CaptionColumn, HintColumn, IconColumn, KeyColumn, FirstTextColumn };

} // namespace

QString catalogueKindName(CatalogueKind kind)
{
    for (const KindName &k : KindNames) {
        if (k.kind == kind)
            return QLatin1String(k.name);
    }
    return {};
}

QString unescapeCatalogueField(const QString &field, bool *ok)
{
    if (ok)
        *ok = true;
    if (!field.contains(u'\\'))
        return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != u'\\') {
            out.append(c);
            continue;
        }
        const QChar next = i + 1 < field.size() ? field.at(i + 1) : QChar();
        switch (next.unicode()) {
        case 'r': out.append(u'\r'); break;
        case 'n': out.append(u'\n'); break;
        case 't': out.append(u'\t'); break;
        case 's': out.append(u' '); break;
        case '\\': out.append(u'\\'); break;
        default:
            if (ok)
                *ok = false;
            out.append(c);
            continue;
        }
        ++i;
    }
    return out;
}

namespace {

// A line of a catalogue table that is neither blank nor a comment: its
// number and its tab-separated fields, unescaped.
struct CatalogueRow
{
    int number = 0;
    QStringList fields;
    bool escapesOk = true;  // false when a field held an unknown escape
};

QList<CatalogueRow> catalogueRows(const QString &text)
{
    QList<CatalogueRow> rows;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        CatalogueRow row;
        row.number = int(n) + 1;
        row.fields = line.split(u'\t');
        for (QString &f : row.fields) {
            bool ok = true;
            f = unescapeCatalogueField(f, &ok);
            row.escapesOk = row.escapesOk && ok;
        }
        rows.append(row);
    }
    return rows;
}

// The start and end texts from field `first` on, in pairs; empty pairs at
// the end are columns left blank, not steps.
QList<TInsertStep> insertSteps(const QStringList &fields, qsizetype first)
{
    QList<TInsertStep> steps;
    for (qsizetype i = first; i < fields.size(); i += 2)
        steps.append({fields.at(i), i + 1 < fields.size() ? fields.at(i + 1) : QString()});
    while (!steps.isEmpty() && steps.last().start.isEmpty() && steps.last().end.isEmpty())
        steps.removeLast();
    return steps;
}

} // namespace

TCatalogue parseCatalogue(const QString &text)
{
    TCatalogue result;
    QSet<QString> names;
    for (CatalogueRow &row : catalogueRows(text)) {
        const int lineNumber = row.number;
        auto fail = [&](const QString &why) {
            result.errors.append(QStringLiteral("line %1: %2").arg(lineNumber).arg(why));
        };
        QStringList &fields = row.fields;
        if (!row.escapesOk) {
            fail(QStringLiteral("unknown escape"));
            continue;
        }
        while (fields.size() < FirstTextColumn)
            fields.append(QString());

        TCatalogueEntry e;
        e.line = lineNumber;
        if (!kindFromName(fields.at(KindColumn), &e.kind)) {
            fail(QStringLiteral("unknown kind \"%1\"").arg(fields.at(KindColumn)));
            continue;
        }
        e.place = fields.at(PlaceColumn);
        e.name = fields.at(NameColumn);
        e.caption = fields.at(CaptionColumn);
        e.hint = fields.at(HintColumn);
        e.icon = fields.at(IconColumn);
        e.key = fields.at(KeyColumn);
        e.steps = insertSteps(fields, FirstTextColumn);

        if (e.place.isEmpty()) {
            fail(QStringLiteral("no place"));
            continue;
        }
        const bool named = e.kind != CatalogueKind::Separator && e.kind != CatalogueKind::Spacer;
        if (named && e.name.isEmpty()) {
            fail(QStringLiteral("no name"));
            continue;
        }
        if (named && names.contains(e.name)) {
            fail(QStringLiteral("the name %1 is used twice").arg(e.name));
            continue;
        }
        if (e.kind == CatalogueKind::Insert && e.steps.isEmpty()) {
            fail(QStringLiteral("%1 inserts nothing").arg(e.name));
            continue;
        }
        if (e.kind != CatalogueKind::Insert && !e.steps.isEmpty()) {
            fail(QStringLiteral("%1 has texts but is no insert").arg(e.name));
            continue;
        }
        if ((e.kind == CatalogueKind::Wizard || e.kind == CatalogueKind::Command) && e.key.isEmpty()) {
            fail(QStringLiteral("%1 has no id").arg(e.name));
            continue;
        }
        if (e.kind == CatalogueKind::Menu && !e.key.isEmpty()) {
            if (names.contains(e.key) || e.key == e.name) {
                fail(QStringLiteral("the name %1 is used twice").arg(e.key));
                continue;
            }
            names.insert(e.key);
        }
        if (named)
            names.insert(e.name);
        result.entries.append(e);
    }
    return result;
}

void addHtml5Steps(TCatalogue *catalogue, const QString &text)
{
    QHash<QString, TCatalogueEntry *> inserts;
    for (TCatalogueEntry &e : catalogue->entries) {
        if (e.kind == CatalogueKind::Insert)
            inserts.insert(e.name, &e);
    }
    for (const CatalogueRow &row : catalogueRows(text)) {
        auto fail = [&](const QString &why) {
            catalogue->errors.append(QStringLiteral("html5 line %1: %2").arg(row.number).arg(why));
        };
        TCatalogueEntry *entry = inserts.value(row.fields.first());
        if (!row.escapesOk) {
            fail(QStringLiteral("unknown escape"));
            continue;
        }
        if (!entry) {
            fail(QStringLiteral("%1 is no insert of the catalogue").arg(row.fields.first()));
            continue;
        }
        const QList<TInsertStep> steps = insertSteps(row.fields, 1);
        if (steps.isEmpty()) {
            fail(QStringLiteral("%1 inserts nothing").arg(entry->name));
            continue;
        }
        entry->html5Steps = steps;
    }
}

void loadHtml5Steps(TCatalogue *catalogue, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        catalogue->errors.append(QStringLiteral("cannot read %1").arg(path));
        return;
    }
    addHtml5Steps(catalogue, QString::fromUtf8(file.readAll()));
}

TCatalogue loadCatalogue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TCatalogue result;
        result.errors.append(QStringLiteral("cannot read %1").arg(path));
        return result;
    }
    return parseCatalogue(QString::fromUtf8(file.readAll()));
}

} // namespace Quorvant
