#include "maintenance/docx_parts.h"

#include "platform/system/native_name.h"

#include <algorithm>
#include <numeric>

namespace platterly::maintenance {

namespace {

// A landscape A4 page with half-inch margins, in twentieths of a point.
constexpr int kPageWidth = 16838;
constexpr int kPageHeight = 11906;
constexpr int kMargin = 720;
constexpr int kTableWidth = kPageWidth - 2 * kMargin;

const char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char kWordNamespace[] =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

QByteArray contentTypes()
{
    return QByteArray(kXmlDeclaration) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
           "</Types>";
}

QByteArray relationships(const char* type, const char* target)
{
    return QByteArray(kXmlDeclaration) +
           "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
           "2006/relationships/" +
           type + "\" Target=\"" + target + "\"/></Relationships>";
}

const char kBorders[] = "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
                        "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
                        "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
                        "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
                        "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
                        "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>";

// A small type on single-spaced lines, so that long paths fit their cells; the table style
// "Table Grid" draws every border, as word processors name that style.
QByteArray styles()
{
    return QByteArray(kXmlDeclaration) + "<w:styles " + kWordNamespace +
           "><w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/>"
           "</w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>"
           "<w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault>"
           "</w:docDefaults>"
           "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
           "<w:name w:val=\"Normal\"/></w:style>"
           "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
           "<w:name w:val=\"Normal Table\"/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/>"
           "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
           "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/>"
           "</w:tblCellMar></w:tblPr></w:style>"
           "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table Grid\"/>"
           "<w:basedOn w:val=\"TableNormal\"/><w:tblPr><w:tblBorders>" +
           kBorders + "</w:tblBorders></w:tblPr></w:style></w:styles>";
}

// The cell's text as runs of text, tabs and line breaks, escaped for XML.
void appendRun(QString& xml, const QString& text, bool header)
{
    if (text.isEmpty())
        return;
    xml += header ? QStringLiteral("<w:r><w:rPr><w:b/></w:rPr>") : QStringLiteral("<w:r>");
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty())
            return;
        xml += QStringLiteral("<w:t xml:space=\"preserve\">") + pending + QStringLiteral("</w:t>");
        pending.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\t':
            flush();
            xml += QStringLiteral("<w:tab/>");
            continue;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            [[fallthrough]];
        case u'\n':
            flush();
            xml += QStringLiteral("<w:br/>");
            continue;
        case u'&':
            pending += QStringLiteral("&amp;");
            continue;
        case u'<':
            pending += QStringLiteral("&lt;");
            continue;
        case u'>':
            pending += QStringLiteral("&gt;");
            continue;
        default:
            break;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            pending += c;
            pending += text.at(++i);
        } else if (c.isSurrogate() || c.unicode() < 0x20 || c.unicode() >= 0xFFFE) {
            pending += QChar(QChar::ReplacementCharacter);
        } else {
            pending += c;
        }
    }
    flush();
    xml += QStringLiteral("</w:r>");
}

void appendRow(QString& xml, const QStringList& cells, const std::vector<int>& widths, bool header)
{
    xml +=
        header ? QStringLiteral("<w:tr><w:trPr><w:tblHeader/></w:trPr>") : QStringLiteral("<w:tr>");
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const auto index = static_cast<qsizetype>(column);
        // Bytes of a name that are not UTF-8 show as they do in the grid.
        const QString text =
            index < cells.size() ? system::displayedText(cells.at(index)) : QString();
        xml +=
            QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/>").arg(widths[column]);
        if (header)
            xml += QStringLiteral("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"D9D9D9\"/>");
        xml += QStringLiteral("</w:tcPr><w:p>");
        if (header)
            xml += QStringLiteral("<w:pPr><w:jc w:val=\"center\"/></w:pPr>");
        appendRun(xml, header ? text.trimmed() : text, header);
        xml += QStringLiteral("</w:p></w:tc>");
    }
    xml += QStringLiteral("</w:tr>");
}

// The page's width shared among the columns in proportion to their weights.
std::vector<int> columnWidths(std::size_t columns, const std::vector<int>& weights)
{
    std::vector<int> shares = weights;
    if (shares.size() != columns ||
        std::any_of(shares.begin(), shares.end(), [](int weight) { return weight <= 0; }))
        shares.assign(columns, 1);
    const qint64 total = std::accumulate(shares.begin(), shares.end(), qint64{0});
    std::vector<int> widths;
    for (int share : shares)
        widths.push_back(static_cast<int>(kTableWidth * share / std::max<qint64>(total, 1)));
    return widths;
}

QByteArray document(const GridText& grid, const std::vector<int>& weights)
{
    std::size_t columns = 0;
    for (const QStringList& row : grid)
        columns = std::max(columns, static_cast<std::size_t>(row.size()));
    const std::vector<int> widths = columnWidths(columns, weights);

    QString xml = QLatin1String(kXmlDeclaration) + QStringLiteral("<w:document ") +
                  QLatin1String(kWordNamespace) + QStringLiteral("><w:body>");
    // A table needs a row and a column; a grid without either leaves the page empty.
    if (columns > 0) {
        xml += QStringLiteral("<w:tbl><w:tblPr><w:tblStyle w:val=\"TableGrid\"/>"
                              "<w:tblW w:w=\"%1\" w:type=\"dxa\"/><w:tblBorders>")
                   .arg(kTableWidth) +
               QLatin1String(kBorders) +
               QStringLiteral("</w:tblBorders><w:tblLayout w:type=\"fixed\"/>"
                              "<w:tblLook w:val=\"04A0\" w:firstRow=\"1\" w:lastRow=\"0\" "
                              "w:firstColumn=\"0\" w:lastColumn=\"0\" w:noHBand=\"1\" "
                              "w:noVBand=\"1\"/></w:tblPr><w:tblGrid>");
        for (int width : widths)
            xml += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(width);
        xml += QStringLiteral("</w:tblGrid>");
        for (std::size_t row = 0; row < grid.size(); ++row)
            appendRow(xml, grid[row], widths, row == 0);
        xml += QStringLiteral("</w:tbl>");
    }
    // The body must end with a paragraph, also after a table.
    xml += QStringLiteral("<w:p/><w:sectPr><w:pgSz w:w=\"%1\" w:h=\"%2\" w:orient=\"landscape\"/>"
                          "<w:pgMar w:top=\"%3\" w:right=\"%3\" w:bottom=\"%3\" w:left=\"%3\" "
                          "w:header=\"360\" w:footer=\"360\" w:gutter=\"0\"/></w:sectPr>"
                          "</w:body></w:document>")
               .arg(kPageWidth)
               .arg(kPageHeight)
               .arg(kMargin);
    return xml.toUtf8();
}

} // namespace

std::vector<DocxPart> docxParts(const GridText& grid, const std::vector<int>& columnWeights)
{
    return {
        {QStringLiteral("[Content_Types].xml"), contentTypes()},
        {QStringLiteral("_rels/.rels"), relationships("officeDocument", "word/document.xml")},
        {QStringLiteral("word/_rels/document.xml.rels"), relationships("styles", "styles.xml")},
        {QStringLiteral("word/styles.xml"), styles()},
        {QStringLiteral("word/document.xml"), document(grid, columnWeights)},
    };
}

} // namespace platterly::maintenance
