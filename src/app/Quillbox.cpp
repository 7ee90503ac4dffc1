#include "Quillbox.h"

Quillbox::Quillbox(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillbox Plus"));
}
