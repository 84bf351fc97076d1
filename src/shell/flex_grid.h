// A grid of text cells with an optional fixed header row, as the notes list and the day
// schedule use it. Row 0 is an ordinary row until FixedRows is set to 1; then it is drawn as a
// header and cannot become the current row by keyboard or mouse (the program may still make it
// current, which on the notes list means that no note is selected).
//
// The cells live in a light table model (texts and background colours only), so a grid of tens
// of thousands of rows fills in a moment.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTableView>

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_cols;
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setRows(int rows);
    void setCols(int cols);
    void setFixedRows(int fixedRows);
    // Empties every text; counts and colours stay.
    void clearTexts();
    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    // Texts of column `col` from row `firstRow` on, in one change.
    void setColumnTexts(int col, int firstRow, const QStringList &texts);
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor &color);
    // Colours of the fixed header row.
    void setHeaderColors(const QColor &back, const QColor &text);

private:
    qsizetype at(int row, int col) const { return qsizetype(row) * m_cols + col; }
    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    QList<QString> m_texts;          // row by row, m_cols texts each
    QHash<quint64, QColor> m_colors; // only the cells given a colour
    QColor m_headerBack;
    QColor m_headerText;
};

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Empties the text of every cell; the row and column counts stay.
    void Clear();
    int Rows() const { return m_model->rowCount(); }
    void setRows(int rows);
    int Cols() const { return m_model->columnCount(); }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    // 0 or 1; 1 needs at least one more row than the header.
    bool setFixedRows(int fixedRows);
    void setColWidth(int col, int twipsWidth);
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // Sets the texts of column `col` from row `firstRow` on, as many as there are (and rows
    // exist for), as one change of the grid.
    void setColumnTexts(int col, int firstRow, const QStringList &texts);
    void AddItem(const QString &text);
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    // Background of the current cell.
    void setCellBackColor(const QColor &color);
    // Background of cell (row, col).
    void setCellBackColor(int row, int col, const QColor &color);
    // Background of cell (row, col); invalid when never set.
    QColor cellBackColor(int row, int col) const;

signals:
    void DblClick();
    void SelChange();

protected:
    void changeEvent(QEvent *event) override;

private:
    void styleHeaderRow();

    FlexGridModel *m_model = nullptr;
    int m_fixedRows = 0;
    int m_row = 0;
    int m_col = 0;
};
