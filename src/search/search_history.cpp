#include "search/search_history.h"

#include "catalogue/settings.h"
#include "platform/system/profile_file.h"
#include "search/statement_builder.h"

#include <QDir>
#include <algorithm>

namespace platterly::search {

using catalogue::settings::historyKey;
using catalogue::settings::kHistoryLength;
using catalogue::settings::kKeyTotal;
using catalogue::settings::kSectionStrings;

QStringList loadSearchHistory(const QString& settingsFile)
{
    const int total = catalogue::integerPart(
        system::ReadINI(settingsFile, kSectionStrings, kKeyTotal, QStringLiteral("0")));
    // A Total edited by hand beyond the limit reads only as many entries as the list holds.
    const int count = std::clamp(total, 0, kHistoryLength);
    QStringList history;
    for (int position = 1; position <= count; ++position)
        history.append(
            system::ReadINI(settingsFile, kSectionStrings, historyKey(position), QString()));
    return history;
}

bool rememberSearch(QStringList& history, const QString& patternText, const QString& settingsFile,
                    QString* writeError)
{
    if (history.contains(patternText) || withoutOuterBlanks(patternText).isEmpty())
        return false;
    history.prepend(patternText);
    while (history.size() > kHistoryLength)
        history.removeLast();
    QString why;
    bool written = system::WriteINI(settingsFile, kSectionStrings, kKeyTotal,
                                    QString::number(history.size()), &why);
    for (int position = 1; written && position <= history.size(); ++position)
        written = system::WriteINI(settingsFile, kSectionStrings, historyKey(position),
                                   history.at(position - 1), &why);
    if (!written && writeError)
        *writeError = QStringLiteral("The search history could not be saved in %1: %2.")
                          .arg(QDir::toNativeSeparators(settingsFile), why);
    return true;
}

} // namespace platterly::search
