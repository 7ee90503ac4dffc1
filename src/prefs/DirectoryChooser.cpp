#include "DirectoryChooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Mounts the system keeps for itself; no one stores notes there.
bool isSystemMount(const QString &root)
{
    static const QStringList kSystem{QStringLiteral("/proc"), QStringLiteral("/sys"),
                                     QStringLiteral("/dev"),  QStringLiteral("/run"),
                                     QStringLiteral("/snap"), QStringLiteral("/boot")};
    // Removable media are mounted below /run/media by the desktop.
    if (root.startsWith(QStringLiteral("/run/media/")))
        return false;
    for (const QString &prefix : kSystem) {
        if (root == prefix || root.startsWith(prefix + u'/'))
            return true;
    }
    return false;
}

} // namespace

DirectoryChooser::DirectoryChooser(QWidget *parent) : QWidget(parent)
{
    m_places = new QComboBox(this);
    m_places->setObjectName(QStringLiteral("Places"));
    m_places->setToolTip(tr("Go to your home directory or a mounted volume"));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QStringLiteral("/"));

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("Dir1"));
    m_tree->setAccessibleName(tr("Folders"));
    m_tree->setModel(m_model);
    m_tree->setRootIndex(m_model->index(QStringLiteral("/")));
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_places);

    fillPlaces();
    // Directories are listed in the background; keep the chosen one in view as its parents fill in.
    // Re-sorting a listed directory moves rows, so the reveal follows each sort too.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, &DirectoryChooser::revealCurrent);
    connect(m_model, &QFileSystemModel::layoutChanged, this, &DirectoryChooser::revealCurrent,
            Qt::QueuedConnection);
    // Once the user clicks or scrolls, the tree stays where the user put it.
    connect(m_tree, &QTreeView::pressed, this, [this] { m_followCurrent = false; });
    connect(m_tree->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_followCurrent = false; });
    connect(m_places, &QComboBox::activated, this,
            [this](int row) { setCurrentPath(m_places->itemData(row).toString()); });
}

void DirectoryChooser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Scrolling before the tree has its size does nothing.
    QTimer::singleShot(0, this, &DirectoryChooser::revealCurrent);
}

void DirectoryChooser::revealCurrent()
{
    if (m_followCurrent && m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void DirectoryChooser::fillPlaces()
{
    const QString home = QDir::homePath();
    m_places->addItem(tr("Home (%1)").arg(home), home);

    QStringList seen{home};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || volume.isReadOnly() || isSystemMount(root) ||
            seen.contains(root))
            continue;
        seen << root;
        const QString name = volume.displayName();
        m_places->addItem(name == root || name.isEmpty() ? root : tr("%1 (%2)").arg(name, root), root);
    }
}

QStringList DirectoryChooser::places() const
{
    QStringList result;
    for (int row = 0; row < m_places->count(); ++row)
        result << m_places->itemData(row).toString();
    return result;
}

QString DirectoryChooser::currentPath() const
{
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? m_model->filePath(index) : QString();
}

bool DirectoryChooser::setCurrentPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QModelIndex index = m_model->index(info.absoluteFilePath());
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        m_tree->expand(up);
    m_tree->setCurrentIndex(index);
    m_followCurrent = true;
    revealCurrent();
    return true;
}
