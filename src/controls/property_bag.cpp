#include "controls/property_bag.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace platterly::controls {

namespace {

const QChar kSectionSeparator = QLatin1Char('/');

QString escapeValue(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else
            escaped += c;
    }
    return escaped;
}

// The inverse of escapeValue. A backslash before any other character is kept as it is, so a
// hand-edited file with a Windows path still reads the way it looks.
QString unescapeValue(QStringView text)
{
    QString value;
    value.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            value += c;
            continue;
        }
        const QChar next = text[i + 1];
        if (next == QLatin1Char('\\'))
            value += QLatin1Char('\\');
        else if (next == QLatin1Char('n'))
            value += QLatin1Char('\n');
        else if (next == QLatin1Char('r'))
            value += QLatin1Char('\r');
        else {
            value += c;
            continue;
        }
        ++i;
    }
    return value;
}

bool isWritableName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('\n')) &&
           !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char('[')) && !name.startsWith(QLatin1Char('#')) &&
           !name.startsWith(QLatin1Char(';'));
}

bool isWritableSectionName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('\n')) &&
           !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char(']')) &&
           !name.contains(kSectionSeparator);
}

BagFileError lineError(const QString& path, int lineNumber, const QString& what)
{
    return {QStringLiteral("%1, line %2: %3").arg(path).arg(lineNumber).arg(what)};
}

} // namespace

void PropertyBag::write(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const auto stored = std::find_if(m_values.begin(), m_values.end(),
                                     [&](const auto& entry) { return entry.first == name; });
    if (value == defaultValue) {
        if (stored != m_values.end())
            m_values.erase(stored);
        return;
    }
    if (stored != m_values.end())
        stored->second = value;
    else
        m_values.emplace_back(name, value);
}

QVariant PropertyBag::read(const QString& name, const QVariant& defaultValue) const
{
    for (const auto& [storedName, value] : m_values) {
        if (storedName == name)
            return value;
    }
    return defaultValue;
}

bool PropertyBag::contains(const QString& name) const
{
    return std::any_of(m_values.begin(), m_values.end(),
                       [&](const auto& entry) { return entry.first == name; });
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const auto& entry : m_values)
        result.append(entry.first);
    return result;
}

PropertyBag& PropertyBag::section(const QString& name)
{
    for (auto& [sectionName, bag] : m_sections) {
        if (sectionName == name)
            return bag;
    }
    return m_sections.emplace_back(name, PropertyBag()).second;
}

const PropertyBag* PropertyBag::findSection(const QString& name) const
{
    for (const auto& [sectionName, bag] : m_sections) {
        if (sectionName == name)
            return &bag;
    }
    return nullptr;
}

QStringList PropertyBag::sectionNames() const
{
    QStringList result;
    for (const auto& entry : m_sections)
        result.append(entry.first);
    return result;
}

QString PropertyBag::checkNames(const QString& sectionPath) const
{
    const QString where =
        sectionPath.isEmpty() ? QString() : QStringLiteral(" in section %1").arg(sectionPath);
    for (const auto& [name, value] : m_values) {
        if (!isWritableName(name))
            return QStringLiteral("the property name \"%1\"%2 cannot be stored").arg(name, where);
        if (!value.canConvert<QString>())
            return QStringLiteral("the value of %1%2 cannot be stored as text").arg(name, where);
    }
    for (const auto& [name, bag] : m_sections) {
        if (!isWritableSectionName(name))
            return QStringLiteral("the section name \"%1\"%2 cannot be stored").arg(name, where);
        const QString problem =
            bag.checkNames(sectionPath.isEmpty() ? name : sectionPath + kSectionSeparator + name);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

void PropertyBag::writeText(QString& out, const QString& sectionPath) const
{
    for (const auto& [name, value] : m_values)
        out += name + QLatin1Char('=') + escapeValue(value.toString()) + QLatin1Char('\n');
    for (const auto& [name, bag] : m_sections) {
        const QString path = sectionPath.isEmpty() ? name : sectionPath + kSectionSeparator + name;
        out += QLatin1Char('[') + path + QLatin1String("]\n");
        bag.writeText(out, path);
    }
}

BagFileError PropertyBag::writeFile(const QString& path) const
{
    const QString problem = checkNames(QString());
    if (!problem.isEmpty())
        return {QStringLiteral("%1: %2").arg(path, problem)};

    QString text;
    writeText(text, QString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return {
            QStringLiteral("Cannot write the layout file %1: %2").arg(path, file.errorString())};
    return {};
}

BagFileError PropertyBag::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("Cannot read the layout file %1: %2").arg(path, file.errorString())};
    const QString text = QString::fromUtf8(file.readAll());

    PropertyBag root;
    PropertyBag* current = &root;
    int lineNumber = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3)
                return lineError(path, lineNumber, QStringLiteral("a section line is [name]"));
            current = &root;
            for (QStringView part : line.mid(1, line.size() - 2).split(kSectionSeparator)) {
                if (part.isEmpty())
                    return lineError(path, lineNumber, QStringLiteral("empty section name"));
                current = &current->section(part.toString());
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return lineError(path, lineNumber, QStringLiteral("expected name=value"));
        const QString name = line.left(equals).toString();
        const QString value = unescapeValue(line.mid(equals + 1));
        current->write(name, value, QVariant());
    }
    *this = std::move(root);
    return {};
}

} // namespace platterly::controls
