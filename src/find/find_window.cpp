#include "find/find_window.h"

#include "controls/program_frame.h"
#include "controls/twips.h"
#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/note_store.h"
#include "records/record_file.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QString kindName(FindLogic::Kind kind)
{
    switch (kind) {
    case FindLogic::Kind::Appointment:
        return QStringLiteral("Appointment");
    case FindLogic::Kind::Address:
        return QStringLiteral("Address");
    case FindLogic::Kind::Note:
        return QStringLiteral("Note");
    }
    return {};
}

} // namespace

void FindResults::setResults(QList<FindLogic::Found> results)
{
    beginResetModel();
    m_results = std::move(results);
    endResetModel();
}

int FindResults::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_results.size());
}

int FindResults::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant FindResults::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_results.size() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const FindLogic::Found &f = m_results[index.row()];
    const QString text = index.column() == 0   ? kindName(f.kind)
                         : index.column() == 1 ? f.where
                                               : f.context;
    // A tool tip that looks like markup would be read as markup: it is given as plain text.
    return role == Qt::ToolTipRole ? Qt::convertFromPlainText(text) : text;
}

QVariant FindResults::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {"Found in", "Where", "Text"};
    return section >= 0 && section < 3 ? QString::fromLatin1(titles[section]) : QVariant();
}

FindWindow::FindWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormFind"));
    setWindowTitle(QStringLiteral("Find"));

    TextFind = new QLineEdit(this);
    TextFind->setObjectName(QStringLiteral("TextFind"));
    TextFind->setAccessibleName(QStringLiteral("Find"));
    TextFind->setAccessibleDescription(
        QStringLiteral("Searches appointments, addresses and notes as you type"));
    TextFind->setClearButtonEnabled(true);
    TextFind->installEventFilter(this);

    LabelFound = new QLabel(this);
    LabelFound->setObjectName(QStringLiteral("LabelFound"));
    LabelFound->setTextFormat(Qt::PlainText);

    ListFind = new QTreeView(this);
    ListFind->setObjectName(QStringLiteral("ListFind"));
    ListFind->setAccessibleName(QStringLiteral("Results"));
    ListFind->setModel(&m_results);
    ListFind->setRootIsDecorated(false);
    ListFind->setUniformRowHeights(true);
    ListFind->setAllColumnsShowFocus(true);
    ListFind->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListFind->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListFind->setTextElideMode(Qt::ElideRight);
    ListFind->header()->setStretchLastSection(true);
    ListFind->setColumnWidth(0, twipsX(1500));
    ListFind->setColumnWidth(1, twipsX(2400));
    ListFind->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TextFind);
    layout->addWidget(LabelFound);
    layout->addWidget(ListFind, 1);

    connect(TextFind, &QLineEdit::textChanged, this, [this] { TextFind_Change(); });
    connect(ListFind, &QTreeView::doubleClicked, this,
            [this](const QModelIndex &index) { openResult(index.row()); });
}

QSize FindWindow::sizeHint() const
{
    return twipsSize(8400, 4200);
}

void FindWindow::showFind()
{
    if (!isVisible()) {
        resize(sizeHint());
        // The first time over the main window's middle, afterwards where the user left it.
        if (!m_placed && ProgramFrame::window()) {
            QRect frame = geometry();
            frame.moveCenter(ProgramFrame::window()->geometry().center());
            move(frame.topLeft());
            m_placed = true;
        }
    }
    show();
    raise();
    activateWindow();
    TextFind->setFocus(Qt::ShortcutFocusReason);
    TextFind->selectAll();
    // The files may have changed since the last search.
    if (!TextFind->text().isEmpty())
        TextFind_Change();
}

FindWindow::Stamp FindWindow::filesStamp()
{
    Stamp stamp{};
    const int files[] = {AppointmentStore::FileNumber, AddressStore::FileNumber,
                         NoteStore::FileNumber};
    for (std::size_t i = 0; i < 3; ++i) {
        const QString path = RecordFilePath(files[i]);
#ifdef Q_OS_UNIX
        struct stat st {};
        if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0) {
            stamp[2 * i] = st.st_size;
            stamp[2 * i + 1] = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
#else
        const QFileInfo info(path);
        stamp[2 * i] = info.size();
        stamp[2 * i + 1] = info.lastModified().toMSecsSinceEpoch();
#endif
    }
    return stamp;
}

void FindWindow::TextFind_Change()
{
    const QString query = TextFind->text();
    if (query.trimmed().isEmpty()) {
        m_results.setResults({});
        LabelFound->clear();
        return;
    }
    // The texts are read once and read again only when a file has changed since.
    const Stamp stamp = filesStamp();
    if (!m_indexed || stamp != m_stamp) {
        m_index = FindLogic::FindIndex::Load();
        m_stamp = stamp;
        m_indexed = true;
    }
    QList<FindLogic::Found> found = m_index.Find(query, MostListed);
    const int total = found.size() < MostListed ? int(found.size()) : m_index.Count(query);
    const int listed = int(found.size());
    m_results.setResults(std::move(found));
    if (total == 0)
        LabelFound->setText(QStringLiteral("Nothing found"));
    else if (total > listed)
        LabelFound->setText(QStringLiteral("%1 found, the first %2 listed").arg(total).arg(listed));
    else
        LabelFound->setText(QStringLiteral("%1 found").arg(total));
    if (listed > 0)
        ListFind->setCurrentIndex(m_results.index(0, 0));
}

void FindWindow::openResult(int row)
{
    if (row < 0)
        row = ListFind->currentIndex().isValid() ? ListFind->currentIndex().row() : 0;
    if (row >= m_results.results().size())
        return;
    const FindLogic::Found f = m_results.results()[row];
    switch (f.kind) {
    case FindLogic::Kind::Appointment:
        if (FindLinks::openAppointment)
            FindLinks::openAppointment(f.key);
        break;
    case FindLogic::Kind::Address:
        if (FindLinks::openAddressEntry)
            FindLinks::openAddressEntry(f.key);
        break;
    case FindLogic::Kind::Note:
        if (FindLinks::openNote)
            FindLinks::openNote(f.key.toInt());
        break;
    }
}

void FindWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FindWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openResult();
            return true;
        }
        // Down from the text box goes to the results.
        if (watched == TextFind && key->key() == Qt::Key_Down && m_results.rowCount() > 0) {
            ListFind->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
