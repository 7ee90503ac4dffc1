#pragma once

#include "EditorAccess.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class RichTextBox;

// The character format the painter carries from one selection to the next. Unset values (empty
// name, size 0, invalid colour with colourRead false) are never painted.
struct CapturedFormat
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeThru = false;
    QString fontName;
    int fontSize = 0;
    QColor color;
    bool colorRead = false;
};

// One capture, one application: the "FPt" button arms it, the same click captures from the
// selection, and the next mouse release over any note box paints the format there.
class FormatPainter final : public QObject
{
    Q_OBJECT
public:
    enum State { Idle = 0, Armed = 1, Captured = 2, Applied = 3 };

    explicit FormatPainter(EditorAccess access, QObject *parent = nullptr);

    int FormatPainterState() const { return m_state; }
    const CapturedFormat &capturedFormat() const { return m_format; }
    void arm();
    // Captures in state 1, applies in state 2, does nothing otherwise; works on ActiveEditor.
    void run();

    // The boxes that show the painter pointer between capture and application.
    void setEditors(const QList<RichTextBox *> &editors);

    // Whole points, halves to the even neighbour (10.5 gives 10, 11.5 gives 12).
    static int roundHalfToEven(double points);

signals:
    void applied(); // the "FPt" button is released

private:
    void capture(RichTextBox *box);
    void apply(RichTextBox *box);
    void showPainterPointer(bool on);

    EditorAccess m_access;
    int m_state = Idle;
    CapturedFormat m_format;
    QList<QPointer<RichTextBox>> m_editors;
};
