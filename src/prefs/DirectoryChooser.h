#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QTreeView;

// Picks a directory for the note files: a tree of the whole file system with the home directory
// and the mounted volumes (USB sticks, network shares) one choice away above it.
class DirectoryChooser final : public QWidget
{
    Q_OBJECT
public:
    explicit DirectoryChooser(QWidget *parent = nullptr);

    // The directory selected in the tree; empty when none is.
    QString currentPath() const;
    // Selects and reveals the directory; false when it is not one the tree can show.
    bool setCurrentPath(const QString &path);
    // The directories offered as places, home first.
    QStringList places() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillPlaces();
    void revealCurrent();

    QFileSystemModel *m_model = nullptr;
    QComboBox *m_places = nullptr;
    QTreeView *m_tree = nullptr;
    bool m_followCurrent = false; // until the user takes over the tree
};
