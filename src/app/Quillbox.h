#pragma once

#include <QMainWindow>

// The main window: menus, the two toolbars, the font boxes and the seven note tabs.
class Quillbox : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quillbox(QWidget *parent = nullptr);
};
