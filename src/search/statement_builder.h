#pragma once

#include "search/search_filters.h"

#include <QString>
#include <QStringList>

namespace platterly::search {

// The search panel's boxes and scope, as the user left them.
struct SearchRequest
{
    QString patternText;      // the pattern box's text
    QString categoryText;     // the category box's text
    bool oneDiscOnly = false; // scope "Selected CD Only"
    QString discTitle;        // the disc chosen in the disc list, for that scope
};

struct SearchStatement
{
    QString statement;
    // The pattern box's text after the search: "Folders Only" turns a box holding exactly
    // "*.*" into "*", and the window shows that.
    QString patternText;
    // Why Jet refuses the pattern, in the terms of the pattern box (a position counts the
    // characters typed there, not the "*" the statement puts before them); empty when the
    // pattern is sound.
    QString patternError;
};

// The categories the category box offers, in the order it lists them.
const QStringList& searchCategories();

// The statement a search runs. The category text is compared exactly (case and blanks
// count); a text that is none of the categories searches every row, title rows included,
// with the pattern stripped of blanks around it. The pattern is put between "*" and "*", and
// apostrophes in the pattern and the title are doubled, so that they are searched for like
// any other character. The filters' conditions follow the category's, before the scope.
SearchStatement buildSearchStatement(const SearchRequest& request,
                                     const SearchFilters& filters = {});

// Enter in the pattern box: an empty box searches for names with a dot, "*.*".
QString patternTextOnEnter(const QString& boxText);

// The text without the blanks (spaces) before and after it.
QString withoutOuterBlanks(const QString& text);

} // namespace platterly::search
