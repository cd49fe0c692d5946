// make_help_pdf: turns the user guide, written in Markdown, into help.pdf, the document that the
// main window's help label opens. It runs during the build, where there is no display.
//
// Usage: make_help_pdf GUIDE.md OUTPUT.pdf VERSION
//
// The guide's first level-1 heading becomes a title page of its own; the rest flows onto A4
// pages with the guide's name and the page number at the foot of each page.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextStream>
#include <QTextTable>

namespace {

constexpr int kBodyPointSize = 10;

// Lengths in points (1/72 inch) for painting on the writer: its device pixels.
double devicePixels(const QPdfWriter& writer, double pt)
{
    return pt * writer.resolution() / 72.0;
}

// Lengths in points for the formats of the document: the text layout takes them in pixels of
// a 96 dpi screen, which it scales to the writer's resolution itself.
double layoutPixels(double pt)
{
    return pt * 96.0 / 72.0;
}

// Takes the first block out of the document when it is a level-1 heading and returns its text:
// the title page shows it, so the body does not repeat it.
QString takeTitle(QTextDocument& doc)
{
    const QTextBlock first = doc.firstBlock();
    if (first.blockFormat().headingLevel() != 1)
        return QString();
    const QString title = first.text();
    QTextCursor cursor(first);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return title;
}

// Lines of a code block: Markdown gives each line as a block that carries a code language,
// empty for an indented block.
bool isCode(const QTextBlock& block)
{
    return block.isValid() && (block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage) ||
                               block.blockFormat().hasProperty(QTextFormat::BlockCodeFence));
}

// Markdown gives headings, paragraphs and tables no spacing fit for paper: set it here.
void styleForPaper(QTextDocument& doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        QTextCursor cursor(block);
        if (level > 0) {
            format.setTopMargin(layoutPixels(level <= 2 ? 16 : 10));
            format.setBottomMargin(layoutPixels(5));
        } else if (cursor.currentTable()) {
            format.setTopMargin(0);
            format.setBottomMargin(0);
        } else if (isCode(block)) {
            // One block a line: keep the lines together, on a shaded strip.
            format.setTopMargin(0);
            format.setBottomMargin(isCode(block.next()) ? 0 : layoutPixels(6));
            format.setLeftMargin(layoutPixels(10));
            format.setBackground(QColor(0xF3, 0xF4, 0xF6));
        } else {
            format.setBottomMargin(layoutPixels(block.textList() ? 2 : 6));
        }
        cursor.setBlockFormat(format);
    }
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorder(layoutPixels(0.5));
        format.setBorderBrush(QColor(0x88, 0x88, 0x88));
        format.setBorderCollapse(true);
        format.setCellPadding(layoutPixels(3));
        format.setCellSpacing(0);
        format.setHeaderRowCount(1);
        format.setBottomMargin(layoutPixels(6));
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat header = cell.format();
            header.setBackground(QColor(0xE8, 0xEC, 0xF2));
            cell.setFormat(header);
        }
    }
}

// The page (from 0) on which a block's first line stands.
int pageOfFirstLine(const QTextDocument& doc, const QTextBlock& block)
{
    double top = doc.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() > 0)
        top += layout->lineAt(0).y();
    // A line pushed to the next page starts exactly on its top edge, which rounding may put a
    // hair above it.
    return static_cast<int>((top + 1.0) / doc.pageSize().height());
}

// The first block of a run that must not be split over two pages, or an invalid block: a
// heading and the first line of its text (all of it when that is a table shorter than a page),
// and the lines of a code block. A block already sent to a new page is not sent again, so a
// run longer than a page cannot hold the loop below.
QTextBlock firstSplitRun(const QTextDocument& doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        QTextBlock last;
        if (block.blockFormat().headingLevel() > 0) {
            last = block.next();
            QTextTable* table = QTextCursor(last).currentTable();
            if (table &&
                doc.documentLayout()->frameBoundingRect(table).height() < doc.pageSize().height())
                last = table->lastCursorPosition().block();
        } else if (isCode(block) && !isCode(block.previous())) {
            for (QTextBlock line = block; isCode(line); line = line.next())
                last = line;
        }
        if (last.isValid() && pageOfFirstLine(doc, block) != pageOfFirstLine(doc, last))
            return block;
    }
    return QTextBlock();
}

// Moves each run that would be split over two pages to the next page. One run is moved a
// pass, on a document laid out afresh: moving it shifts all that follows, and the text layout
// loses blocks after tables when it is only partly redone.
void keepRunsTogether(QTextDocument& doc)
{
    for (int pass = 0; pass < 200; ++pass) {
        doc.markContentsDirty(0, doc.characterCount());
        doc.pageCount(); // lays the whole document out
        const QTextBlock split = firstSplitRun(doc);
        if (!split.isValid())
            return;
        QTextBlockFormat format = split.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(split).setBlockFormat(format);
    }
}

void drawTitlePage(QPainter& painter, const QPdfWriter& writer, const QString& title,
                   const QString& version)
{
    const QRectF page(0, 0, writer.width(), writer.height());
    QFont big(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    painter.setFont(big);
    const QRectF titleBox(0, page.height() * 0.30, page.width(), devicePixels(writer, 80));
    painter.drawText(titleBox, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, title);
    painter.setPen(QPen(QColor(0x33, 0x55, 0x88), devicePixels(writer, 1.5)));
    const double ruleY = titleBox.bottom() + devicePixels(writer, 14);
    painter.drawLine(QPointF(page.width() * 0.2, ruleY), QPointF(page.width() * 0.8, ruleY));
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 13));
    const QRectF lines(0, ruleY + devicePixels(writer, 14), page.width(), devicePixels(writer, 60));
    painter.drawText(
        lines, Qt::AlignHCenter | Qt::AlignTop,
        QStringLiteral("A catalogue of CDs and local folders\nVersion %1").arg(version));
}

void drawFooter(QPainter& painter, const QRectF& footer, const QString& title, int pageNumber)
{
    painter.setPen(QPen(QColor(0x99, 0x99, 0x99), 0));
    painter.drawLine(footer.topLeft(), footer.topRight());
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QString::number(pageNumber));
}

int fail(const QString& message)
{
    QTextStream(stderr) << "make_help_pdf: " << message << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Laying out text needs fonts, not a screen: the offscreen platform gives them anywhere.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "usage: make_help_pdf GUIDE.md OUTPUT.pdf VERSION" << Qt::endl;
        return 2;
    }
    QFile guide(args.at(1));
    if (!guide.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args.at(1), guide.errorString()));
    const QString markdown = QString::fromUtf8(guide.readAll());
    const QString version = args.at(3);

    QPdfWriter writer(args.at(2));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(22, 20, 22, 16), QPageLayout::Millimeter);

    // Laid out on the writer itself, so that letters are measured at the PDF's resolution.
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), kBodyPointSize));
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    QString title = takeTitle(doc);
    if (title.isEmpty())
        title = QStringLiteral("User Guide");
    styleForPaper(doc);

    const double footerHeight = devicePixels(writer, 20);
    const QSizeF body(writer.width(), writer.height() - footerHeight);
    doc.setPageSize(body);
    keepRunsTogether(doc);

    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Quenlo Platterly %1").arg(version));
    QPainter painter;
    if (!painter.begin(&writer))
        return fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    drawTitlePage(painter, writer, title, version);

    const int pages = doc.pageCount();
    for (int page = 0; page < pages; ++page) {
        writer.newPage();
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, 0), body));
        painter.translate(0, -page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, page * body.height()), body);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        const QRectF footer(0, body.height() + footerHeight * 0.35, body.width(),
                            footerHeight * 0.65);
        drawFooter(painter, footer, title, page + 2); // the title page is page 1
    }
    if (!painter.end())
        return fail(QStringLiteral("cannot finish %1").arg(args.at(2)));
    if (QFileInfo(args.at(2)).size() == 0)
        return fail(QStringLiteral("%1 came out empty").arg(args.at(2)));
    return 0;
}
