// A grid of text cells with an optional fixed header row, as the notes list and the day
// schedule use it. Row 0 is an ordinary row until FixedRows is set to 1; then it is drawn as a
// header and cannot become the current row by keyboard or mouse (the program may still make it
// current, which on the notes list means that no note is selected). A double-click on the header
// row is a double-click on the grid like one on a cell, with the current cell unchanged.
//
// The cells live in a light table model (texts and background colours only), so a grid of tens
// of thousands of rows fills in a moment.
#pragma once

#include "controls/deferred_fill.h"

#include <QAbstractTableModel>

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTableView>
#include <functional>

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
    // A cell asked for by its place: a fill put off by the grid runs first.
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
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
    // The same, with the texts given end to end in `chars`: text i runs from ends[i - 1] (0 for
    // the first) to ends[i]. The cells keep the one string instead of a string each.
    void setColumnTexts(int col, int firstRow, const QString &chars, const QList<qsizetype> &ends);
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor &color);
    // Colours of the fixed header row.
    void setHeaderColors(const QColor &back, const QColor &text);
    // Called before a cell is looked up by its place (the grid's fill put off until then).
    void setBeforeLookup(std::function<void()> beforeLookup)
    {
        m_beforeLookup = std::move(beforeLookup);
    }
    // What a screen reader says of a cell beyond its text (a meaning its colour carries).
    void setDescriber(std::function<QString(int row, int col)> describer)
    {
        m_describer = std::move(describer);
    }

private:
    // Texts of a column kept end to end: row firstRow + i holds text i.
    struct PackedTexts {
        int firstRow = 0;
        QString chars;
        QList<qsizetype> ends;

        qsizetype count() const { return ends.size(); }
        bool covers(int row) const { return row >= firstRow && row - firstRow < count(); }
        QString text(int row) const;
    };

    qsizetype at(int row, int col) const { return qsizetype(row) * m_cols + col; }
    // Gives the cells of a packed column a string each again, before one of them changes.
    void unpack(int col);
    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    QList<QString> m_texts;           // row by row, m_cols texts each
    QHash<int, PackedTexts> m_packed; // columns, or runs of them, filled in one piece
    QHash<quint64, QColor> m_colors;  // only the cells given a colour
    QColor m_headerBack;
    QColor m_headerText;
    std::function<void()> m_beforeLookup;
    std::function<QString(int, int)> m_describer;
};

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Empties the text of every cell; the row and column counts stay.
    void Clear();
    int Rows() const
    {
        ensureFilled();
        return m_model->rowCount();
    }
    void setRows(int rows);
    int Cols() const
    {
        ensureFilled();
        return m_model->columnCount();
    }
    void setCols(int cols);
    int FixedRows() const
    {
        ensureFilled();
        return m_fixedRows;
    }
    // 0 or 1; 1 needs at least one more row than the header.
    bool setFixedRows(int fixedRows);
    void setColWidth(int col, int twipsWidth);
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // Sets the texts of column `col` from row `firstRow` on, as many as there are (and rows
    // exist for), as one change of the grid.
    void setColumnTexts(int col, int firstRow, const QStringList &texts);
    // The same, with the texts end to end in one string: text i runs from ends[i - 1] (0 for
    // the first) to ends[i]. A long column fills this way without a string per cell.
    void setColumnTexts(int col, int firstRow, const QString &chars, const QList<qsizetype> &ends);
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
    // What a screen reader says of each cell beyond its text.
    void setCellDescriber(std::function<QString(int row, int col)> describer)
    {
        m_model->setDescriber(std::move(describer));
    }

    // Puts off `fill`, which fills the grid, until the grid is first looked at: before it is
    // painted or clicked, and before any of the operations above, it runs once. A grid that a
    // start-up fills but nobody looks at yet costs nothing.
    void fillWhenNeeded(std::function<void()> fill);
    // Whether a fill put off by fillWhenNeeded is still waiting.
    bool fillPending() const { return m_pendingFill.pending(); }
    // Runs the fill put off by fillWhenNeeded now, if one is waiting: before the data that it
    // reads is changed.
    void ensureFilled() const;

signals:
    void DblClick();
    void SelChange();

protected:
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // Enter on the current cell counts as a double-click on it.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void styleHeaderRow();

    mutable DeferredFill m_pendingFill;
    FlexGridModel *m_model = nullptr;
    int m_fixedRows = 0;
    int m_row = 0;
    int m_col = 0;
};
