#include "shell/flex_grid.h"

#include "shell/twips.h"

#include <QHeaderView>

FlexGrid::FlexGrid(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(twips(240) + 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setRows(1);
    setCols(2);

    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int previousRow, int previousCol) {
                if (row < 0 || col < 0)
                    return;
                m_row = row;
                m_col = col;
                if (row != previousRow || col != previousCol)
                    emit SelChange();
            });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int) { emit DblClick(); });
}

QTableWidgetItem *FlexGrid::cell(int row, int col)
{
    QTableWidgetItem *it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        if (row < m_fixedRows)
            it->setFlags(Qt::NoItemFlags);
        else
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, col, it);
    }
    return it;
}

void FlexGrid::Clear()
{
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            if (QTableWidgetItem *it = item(r, c))
                it->setText(QString());
        }
    }
}

void FlexGrid::setRows(int rows)
{
    const QSignalBlocker blocker(this);
    const int old = rowCount();
    setRowCount(rows);
    for (int r = old; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c)
            cell(r, c);
    }
    if (m_row >= rows)
        m_row = rows > 0 ? rows - 1 : 0;
}

void FlexGrid::setCols(int cols)
{
    const int old = columnCount();
    setColumnCount(cols);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = old; c < cols; ++c)
            cell(r, c);
    }
    styleHeaderRow();
}

bool FlexGrid::setFixedRows(int fixedRows)
{
    if (fixedRows < 0 || fixedRows > 1 || (fixedRows == 1 && rowCount() < 2))
        return false;
    m_fixedRows = fixedRows;
    styleHeaderRow();
    return true;
}

void FlexGrid::styleHeaderRow()
{
    if (rowCount() < 1)
        return;
    const QBrush headerBrush = palette().brush(QPalette::Button);
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem *it = cell(0, c);
        if (m_fixedRows == 1) {
            it->setFlags(Qt::NoItemFlags);
            it->setBackground(headerBrush);
            it->setForeground(palette().brush(QPalette::ButtonText));
        } else {
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
    }
}

void FlexGrid::setColWidth(int col, int twipsWidth)
{
    setColumnWidth(col, twips(twipsWidth));
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    const QTableWidgetItem *it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    cell(row, col)->setText(text);
}

void FlexGrid::AddItem(const QString &text)
{
    const int row = rowCount();
    setRows(row + 1);
    setTextMatrix(row, 0, text);
}

int FlexGrid::Row() const
{
    return m_row;
}

void FlexGrid::setRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (row == m_row && currentRow() == row)
        return;
    // Selecting the header row by program is allowed: it means that nothing is selected.
    setCurrentCell(row, std::min(m_col, std::max(columnCount() - 1, 0)),
                   row < m_fixedRows ? QItemSelectionModel::Clear
                                     : QItemSelectionModel::ClearAndSelect);
    if (m_row != row) {
        m_row = row;
        emit SelChange();
    }
}

int FlexGrid::Col() const
{
    return m_col;
}

void FlexGrid::setCol(int col)
{
    if (col < 0 || col >= columnCount())
        return;
    m_col = col;
}

void FlexGrid::setCellBackColor(const QColor &color)
{
    if (m_row < 0 || m_row >= rowCount() || m_col < 0 || m_col >= columnCount())
        return;
    cell(m_row, m_col)->setBackground(color);
}

QColor FlexGrid::cellBackColor(int row, int col) const
{
    const QTableWidgetItem *it = item(row, col);
    if (!it || it->background().style() == Qt::NoBrush)
        return {};
    return it->background().color();
}
