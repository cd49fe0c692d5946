#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

namespace platterly::controls {

// What went wrong reading or writing a layout file; empty when all went well.
struct BagFileError
{
    QString message;

    explicit operator bool() const { return !message.isEmpty(); }
};

// The saved design-time properties of a control: named values in the order they were
// written, where a value equal to its default is simply left out. A bag may hold named
// sub-bags, so one layout file per window keeps the properties of all its controls, each
// under the control's name:
//
//     [cmdAddCD]
//     Caption=&ADD New CD
//     ForeColor=2147483666
//
// Values read back from a file are texts; readers convert them (QVariant::toBool, toInt,
// toUInt) and fall back to the default when they do not convert.
class PropertyBag
{
public:
    // Stores `value` under `name` unless it equals `defaultValue`, in which case any stored
    // value of that name is removed, so that reading gives the default back. A name written
    // again keeps its first position.
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue);
    // The stored value of `name`, or `defaultValue` when none is stored.
    QVariant read(const QString& name, const QVariant& defaultValue) const;

    bool contains(const QString& name) const;
    // The stored names, in the order they were first written.
    QStringList names() const;
    bool isEmpty() const { return m_values.empty() && m_sections.empty(); }

    // The sub-bag of that name, created (empty, after the existing ones) when missing.
    PropertyBag& section(const QString& name);
    // The sub-bag of that name, or nullptr when there is none.
    const PropertyBag* findSection(const QString& name) const;
    QStringList sectionNames() const;

    // Writes the bag as UTF-8 text: its own values first, then each sub-bag under a
    // "[name]" line ("[outer/inner]" for deeper ones). Backslashes, line breaks and carriage
    // returns in values are written as \\, \n and \r. Names holding a line break or "=", or
    // starting with "[", "#" or ";", and section names holding "/" or "]", cannot be written
    // and give an error, as does a file that cannot be written (the old file is then kept).
    [[nodiscard]] BagFileError writeFile(const QString& path) const;
    // Replaces the bag's contents with a file written by writeFile. Blank lines and lines
    // starting with "#" or ";" are skipped. On an error the bag is left as it was.
    [[nodiscard]] BagFileError readFile(const QString& path);

private:
    void writeText(QString& out, const QString& sectionPath) const;
    [[nodiscard]] QString checkNames(const QString& sectionPath) const;

    std::vector<std::pair<QString, QVariant>> m_values;
    std::vector<std::pair<QString, PropertyBag>> m_sections;
};

} // namespace platterly::controls
