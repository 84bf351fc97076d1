#include "controls/flex_grid.h"

#include "controls/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

// ---- FlexGridModel ------------------------------------------------------------------------

QModelIndex FlexGridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (m_beforeLookup)
        m_beforeLookup();
    return QAbstractTableModel::index(row, column, parent);
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return {};
    const int row = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, col);
    case Qt::BackgroundRole: {
        if (!m_colors.isEmpty()) {
            const auto found = m_colors.constFind(key(row, col));
            if (found != m_colors.constEnd())
                return found.value();
        }
        if (row < m_fixedRows && m_headerBack.isValid())
            return m_headerBack;
        return {};
    }
    case Qt::ForegroundRole:
        if (row < m_fixedRows && m_headerText.isValid())
            return m_headerText;
        return {};
    case Qt::AccessibleDescriptionRole:
        return m_describer ? m_describer(row, col) : QString();
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() < m_fixedRows)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QString FlexGridModel::PackedTexts::text(int row) const
{
    const qsizetype i = row - firstRow;
    const qsizetype begin = i > 0 ? ends.at(i - 1) : 0;
    return chars.mid(begin, ends.at(i) - begin);
}

void FlexGridModel::unpack(int col)
{
    const auto found = m_packed.constFind(col);
    if (found == m_packed.constEnd())
        return;
    const PackedTexts packed = found.value();
    m_packed.erase(found);
    for (qsizetype i = 0; i < packed.count(); ++i) {
        const int row = packed.firstRow + int(i);
        if (row < m_rows)
            m_texts[at(row, col)] = packed.text(row);
    }
}

void FlexGridModel::setRows(int rows)
{
    rows = std::max(rows, 0);
    // Packed texts of the rows that go go with them.
    for (auto it = m_packed.begin(); it != m_packed.end();) {
        if (it->firstRow >= rows) {
            it = m_packed.erase(it);
        } else {
            if (it->count() > rows - it->firstRow)
                it->ends.resize(rows - it->firstRow);
            ++it;
        }
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_texts.resize(qsizetype(rows) * m_cols);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_texts.resize(qsizetype(rows) * m_cols);
        for (auto it = m_colors.begin(); it != m_colors.end();) {
            if (int(it.key() >> 32) >= rows)
                it = m_colors.erase(it);
            else
                ++it;
        }
        m_rows = rows;
        endRemoveRows();
    }
}

void FlexGridModel::setCols(int cols)
{
    cols = std::max(cols, 0);
    if (cols == m_cols)
        return;
    for (auto it = m_packed.begin(); it != m_packed.end();) {
        if (it.key() >= cols)
            it = m_packed.erase(it);
        else
            ++it;
    }
    // The texts are held row by row: lay them out again for the new width.
    QList<QString> texts(qsizetype(m_rows) * cols);
    const int kept = std::min(cols, m_cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < kept; ++c)
            texts[qsizetype(r) * cols + c] = std::move(m_texts[at(r, c)]);
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        m_texts = std::move(texts);
        m_cols = cols;
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, m_cols - 1);
        m_texts = std::move(texts);
        for (auto it = m_colors.begin(); it != m_colors.end();) {
            if (int(it.key() & 0xFFFFFFFFu) >= cols)
                it = m_colors.erase(it);
            else
                ++it;
        }
        m_cols = cols;
        endRemoveColumns();
    }
}

void FlexGridModel::setFixedRows(int fixedRows)
{
    m_fixedRows = fixedRows;
    if (m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(0, m_cols - 1));
}

void FlexGridModel::clearTexts()
{
    m_packed.clear();
    for (QString &t : m_texts)
        t = QString();
    if (m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::DisplayRole});
}

QString FlexGridModel::text(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return {};
    if (!m_packed.isEmpty()) {
        const auto found = m_packed.constFind(col);
        if (found != m_packed.constEnd() && found->covers(row))
            return found->text(row);
    }
    return m_texts.at(at(row, col));
}

void FlexGridModel::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return;
    if (m_packed.contains(col) && m_packed.value(col).covers(row))
        unpack(col);
    m_texts[at(row, col)] = text;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void FlexGridModel::setColumnTexts(int col, int firstRow, const QStringList &texts)
{
    if (col < 0 || col >= m_cols || firstRow < 0 || firstRow >= m_rows)
        return;
    const int n = int(std::min<qsizetype>(texts.size(), m_rows - firstRow));
    if (n <= 0)
        return;
    unpack(col);
    for (int i = 0; i < n; ++i)
        m_texts[at(firstRow + i, col)] = texts.at(i);
    emit dataChanged(index(firstRow, col), index(firstRow + n - 1, col), {Qt::DisplayRole});
}

void FlexGridModel::setColumnTexts(int col, int firstRow, const QString &chars,
                                   const QList<qsizetype> &ends)
{
    if (col < 0 || col >= m_cols || firstRow < 0 || firstRow >= m_rows)
        return;
    const int n = int(std::min<qsizetype>(ends.size(), m_rows - firstRow));
    if (n <= 0)
        return;
    // Texts packed before keep their cells only where the new ones do not replace them.
    const auto old = m_packed.constFind(col);
    if (old != m_packed.constEnd() &&
        (old->firstRow < firstRow || old->firstRow + old->count() > firstRow + n))
        unpack(col);
    for (int i = 0; i < n; ++i)
        m_texts[at(firstRow + i, col)] = QString();
    PackedTexts packed{firstRow, chars, ends};
    packed.ends.resize(n);
    m_packed.insert(col, packed);
    emit dataChanged(index(firstRow, col), index(firstRow + n - 1, col), {Qt::DisplayRole});
}

QColor FlexGridModel::backColor(int row, int col) const
{
    return m_colors.value(key(row, col));
}

void FlexGridModel::setBackColor(int row, int col, const QColor &color)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return;
    m_colors.insert(key(row, col), color);
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::BackgroundRole});
}

void FlexGridModel::setHeaderColors(const QColor &back, const QColor &text)
{
    m_headerBack = back;
    m_headerText = text;
    if (m_fixedRows > 0 && m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(0, m_cols - 1));
}

// ---- FlexGrid -----------------------------------------------------------------------------

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Every row has the same height: the view never measures rows one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(twipsY(240) + 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    styleHeaderRow();
    setRows(1);
    setCols(2);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (!current.isValid())
                    return;
                m_row = current.row();
                m_col = current.column();
                if (current.row() != previous.row() || current.column() != previous.column())
                    emit SelChange();
            });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit DblClick();
    });
}

void FlexGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        styleHeaderRow();
}

void FlexGrid::Clear()
{
    ensureFilled();
    m_model->clearTexts();
}

void FlexGrid::setRows(int rows)
{
    ensureFilled();
    const QSignalBlocker blocker(this);
    m_model->setRows(rows);
    if (m_row >= rows)
        m_row = rows > 0 ? rows - 1 : 0;
}

void FlexGrid::setCols(int cols)
{
    ensureFilled();
    m_model->setCols(cols);
}

bool FlexGrid::setFixedRows(int fixedRows)
{
    ensureFilled();
    if (fixedRows < 0 || fixedRows > 1 || (fixedRows == 1 && Rows() < 2))
        return false;
    m_fixedRows = fixedRows;
    m_model->setFixedRows(fixedRows);
    return true;
}

void FlexGrid::styleHeaderRow()
{
    m_model->setHeaderColors(palette().color(QPalette::Button),
                             palette().color(QPalette::ButtonText));
}

void FlexGrid::setColWidth(int col, int twipsWidth)
{
    ensureFilled();
    setColumnWidth(col, twipsX(twipsWidth));
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    ensureFilled();
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    ensureFilled();
    m_model->setText(row, col, text);
}

void FlexGrid::setColumnTexts(int col, int firstRow, const QStringList &texts)
{
    ensureFilled();
    m_model->setColumnTexts(col, firstRow, texts);
}

void FlexGrid::setColumnTexts(int col, int firstRow, const QString &chars,
                              const QList<qsizetype> &ends)
{
    ensureFilled();
    m_model->setColumnTexts(col, firstRow, chars, ends);
}

void FlexGrid::AddItem(const QString &text)
{
    ensureFilled();
    const int row = Rows();
    setRows(row + 1);
    setTextMatrix(row, 0, text);
}

int FlexGrid::Row() const
{
    ensureFilled();
    return m_row;
}

void FlexGrid::setRow(int row)
{
    ensureFilled();
    if (row < 0 || row >= Rows())
        return;
    if (row == m_row && currentIndex().row() == row)
        return;
    // Selecting the header row by program is allowed: it means that nothing is selected.
    const int col = std::min(m_col, std::max(Cols() - 1, 0));
    selectionModel()->setCurrentIndex(m_model->index(row, col),
                                      row < m_fixedRows ? QItemSelectionModel::Clear
                                                        : QItemSelectionModel::ClearAndSelect);
    if (m_row != row) {
        m_row = row;
        emit SelChange();
    }
}

int FlexGrid::Col() const
{
    ensureFilled();
    return m_col;
}

void FlexGrid::setCol(int col)
{
    ensureFilled();
    if (col < 0 || col >= Cols())
        return;
    m_col = col;
}

void FlexGrid::setCellBackColor(const QColor &color)
{
    ensureFilled();
    setCellBackColor(m_row, m_col, color);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor &color)
{
    ensureFilled();
    m_model->setBackColor(row, col, color);
}

QColor FlexGrid::cellBackColor(int row, int col) const
{
    ensureFilled();
    return m_model->backColor(row, col);
}

void FlexGrid::fillWhenNeeded(std::function<void()> fill)
{
    ensureFilled();
    m_pendingFill.set(std::move(fill));
    m_model->setBeforeLookup(m_pendingFill.pending()
                                 ? std::function<void()>([this] { ensureFilled(); })
                                 : std::function<void()>());
}

void FlexGrid::ensureFilled() const
{
    if (!m_pendingFill.pending())
        return;
    m_model->setBeforeLookup({});
    m_pendingFill.run();
}

bool FlexGrid::viewportEvent(QEvent *event)
{
    if (DeferredFill::isFirstLook(event))
        ensureFilled();
    return QTableView::viewportEvent(event);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    // The header row takes no selection, so the view reports no double-click there; it counts
    // as one on the grid all the same, with the current cell unchanged.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.row() < m_fixedRows)
        emit DblClick();
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentIndex().isValid() && !(event->modifiers() & ~Qt::KeypadModifier)) {
        event->accept();
        emit DblClick();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FlexGrid::focusInEvent(QFocusEvent *event)
{
    ensureFilled();
    QTableView::focusInEvent(event);
}
