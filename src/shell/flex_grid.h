// A grid of text cells with an optional fixed header row, as the notes list and the day
// schedule use it. Row 0 is an ordinary row until FixedRows is set to 1; then it is drawn as a
// header and cannot become the current row by keyboard or mouse (the program may still make it
// current, which on the notes list means that no note is selected).
#pragma once

#include <QColor>
#include <QTableWidget>

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Empties the text of every cell; the row and column counts stay.
    void Clear();
    int Rows() const { return rowCount(); }
    void setRows(int rows);
    int Cols() const { return columnCount(); }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    // 0 or 1; 1 needs at least one more row than the header.
    bool setFixedRows(int fixedRows);
    void setColWidth(int col, int twipsWidth);
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    void AddItem(const QString &text);
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    // Background of the current cell.
    void setCellBackColor(const QColor &color);
    // Background of cell (row, col); invalid when never set.
    QColor cellBackColor(int row, int col) const;

signals:
    void DblClick();
    void SelChange();

private:
    QTableWidgetItem *cell(int row, int col);
    void styleHeaderRow();

    int m_fixedRows = 0;
    int m_row = 0;
    int m_col = 0;
};
