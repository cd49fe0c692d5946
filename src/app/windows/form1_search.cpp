// The main window's search panel and the results grid: searching, stopping, the result
// message, the history, and what a chosen result shows.
#include "app/windows/form1.h"
#include "catalogue/file_type.h"
#include "catalogue/settings.h"
#include "platform/system/native_name.h"
#include "platform/ui/busy_cursor.h"
#include "search/search_history.h"
#include "search/statement_builder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace platterly::app {

namespace {

// Rows are shown in batches; between batches the window is repainted and Stop is served.
constexpr int kFirstBatch = 64;
constexpr qint64 kRepaintEveryMs = 50;

} // namespace

void Form1::cmbStrs_KeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    cmbStrs->setEditText(search::patternTextOnEnter(cmbStrs->currentText()));
    cmdSearch_Click();
}

void Form1::cmbSearch_KeyPress(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdSearch_Click();
}

void Form1::cmdStop_Click()
{
    StopHim = true;
    cmdStop->setEnabled(false);
    cmdSearch->setEnabled(true);
}

void Form1::cmdSearch_Click()
{
    // Enter in a box while a search runs is ignored: the running search is not stopped.
    if (List1->count() == 0 || m_searching)
        return;
    search::SearchFilters limits;
    if (!readFilters(&limits))
        return;
    m_searching = true;
    cmdSearch->setEnabled(false);
    cmdStop->setEnabled(true);
    std::optional<ui::BusyCursor> busy(std::in_place);
    FoundCount = 0;
    MSFlexGrid1->setEnabled(false);
    setWindowTitle(QStringLiteral("Searching Files Pleae wait....."));

    const search::SearchStatement built = search::buildSearchStatement(
        {cmbStrs->currentText(), cmbSearch->currentText(), SelectedOnly, SelCDName}, limits);
    if (built.patternText != cmbStrs->currentText())
        cmbStrs->setEditText(built.patternText);

    m_results->clear();
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const search::SearchOutcome outcome =
        search::runSearch(m_data, built.statement, [&](const search::ResultRow& row) {
            m_results->add(row);
            ++FoundCount;
            if (FoundCount == kFirstBatch || sinceRepaint.elapsed() >= kRepaintEveryMs) {
                m_results->flush();
                QCoreApplication::processEvents();
                sinceRepaint.restart();
            }
            return !StopHim;
        });
    m_results->flush();

    busy.reset();
    setWindowTitle(kMainCaption);
    StopHim = false;
    MSFlexGrid1->setEnabled(true);
    cmdSearch->setEnabled(true);
    cmdStop->setEnabled(false);
    // A search that failed (a locked file, one that is no catalogue any more) says so rather
    // than looking like a search that found nothing.
    const QString message = outcome.error
                                ? QStringLiteral("The search failed: ") + outcome.error.message
                                : search::resultMessage(outcome.found, outcome.total);
    lblMessage->setText(message);
    lblMessage->setToolTip(outcome.error ? message : QString());
    m_searching = false;

    search::rememberSearch(m_history, cmbStrs->currentText(), catalogue::settingsFile());
    searchHistoryChanged();

    if (m_results->resultCount() > 0) {
        MSFlexGrid1->setCurrentIndex(m_results->index(0, 0));
        MSFlexGrid1_SelChange();
    }
}

void Form1::searchHistoryChanged()
{
    const QString text = cmbStrs->currentText();
    const QStringList shown = [this] {
        QStringList items;
        for (int i = 0; i < cmbStrs->count(); ++i)
            items.append(cmbStrs->itemText(i));
        return items;
    }();
    if (shown != m_history) {
        cmbStrs->clear();
        cmbStrs->addItems(m_history);
        if (!m_history.isEmpty())
            cmbStrs->setEditText(m_history.first());
        else
            cmbStrs->setEditText(text);
    }
}

QString Form1::currentRowText(int column) const
{
    const QModelIndex current = MSFlexGrid1->currentIndex();
    if (!current.isValid())
        return {};
    return m_results->cellText(current.row(), column);
}

void Form1::MSFlexGrid1_SelChange()
{
    const QString name = currentRowText(1);
    LBLFILE->setText(system::displayedText(name).toUpper());
    if (catalogue::FileType(name) != catalogue::TypeImage) {
        imgPreview->hide();
        return;
    }
    imgPreview->show();
    // The picture where Open File would find it; a disc that is not there keeps the picture
    // shown before.
    const std::optional<QString> where = locateCurrentRow(false);
    if (!where)
        return;
    QImageReader reader(*where);
    reader.setAutoTransform(true);
    const QSize box = imgPreview->size();
    if (reader.size().isValid())
        reader.setScaledSize(reader.size().scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (!image.isNull())
        imgPreview->setPixmap(QPixmap::fromImage(image));
}

} // namespace platterly::app
