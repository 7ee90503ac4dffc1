#include "EditCommands.h"
#include "EditingFixture.h"
#include "EditingSession.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTest>

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void dateAndTimeUseTheFixedEnglishForm_data();
    void dateAndTimeUseTheFixedEnglishForm();
    void insertDateAndTimeReplacesTheSelection();
    void copyPutsBothFlavoursEvenForAnEmptySelection();
    void cutThenPasteRestoresTheText();
    void pastePrefersRtfAndAnEmptyClipboardChangesNothing();
    void pastedPictureIsSavedWithTheNote_data();
    void pastedPictureIsSavedWithTheNote();
    void pasteTakesTheRichestFlavourAndPlainPasteOnlyText_data();
    void pasteTakesTheRichestFlavourAndPlainPasteOnlyText();
    void pastedWebTextTakesTheNotesFont();
    void keyboardCopyGivesTheSameFlavoursAsTheMenu();
    void selectAllActsOnTheShownTab();
    void rightButtonReleasePaintsThenShowsTheEditMenu();
    void contextItemsGoAboveTheEditMenuForMouseAndMenuKey();
};

void TestEditCommands::dateAndTimeUseTheFixedEnglishForm_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 6), QTime(16, 7)) << "06-Dec-26 04:07 PM";
    QTest::newRow("midnight") << QDateTime(QDate(2027, 1, 15), QTime(0, 30)) << "15-Jan-27 12:30 AM";
    QTest::newRow("noon") << QDateTime(QDate(2030, 5, 1), QTime(12, 0)) << "01-May-30 12:00 PM";
}

void TestEditCommands::dateAndTimeUseTheFixedEnglishForm()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(EditCommands::dateAndTimeText(when), text);
    QLocale::setDefault(QLocale::c());
}

void TestEditCommands::insertDateAndTimeReplacesTheSelection()
{
    EditingFixture f;
    EditCommands commands(f.access());
    f.box(1).setText(QStringLiteral("at NOW."));
    f.box(1).setSelStart(3);
    f.box(1).setSelLength(3);
    commands.insertDateAndTime(QDateTime(QDate(2026, 12, 6), QTime(16, 7)));
    QCOMPARE(f.box(1).Text(), QStringLiteral("at 06-Dec-26 04:07 PM."));
    QCOMPARE(f.box(1).SelStart(), 21);
}

void TestEditCommands::copyPutsBothFlavoursEvenForAnEmptySelection()
{
    EditingFixture f;
    EditCommands commands(f.access());
    f.box(1).setText(QStringLiteral("copy this"));
    f.box(1).setSelStart(5);
    f.box(1).setSelLength(4);
    commands.copy();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), QStringLiteral("this"));
    QCOMPARE(data->data(RichTextBox::RtfMimeType), f.box(1).SelRTF());

    // Nothing selected: both flavours are empty, so a later Paste over a selection keeps it.
    f.box(1).setSelStart(0);
    commands.copy();
    data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->text().isEmpty());
    QVERIFY(data->data(RichTextBox::RtfMimeType).isEmpty());
    f.box(1).setSelStart(0);
    f.box(1).setSelLength(4);
    commands.paste();
    QCOMPARE(f.box(1).Text(), QStringLiteral("copy this"));
    QCOMPARE(f.box(1).SelText(), QStringLiteral("copy"));
}

void TestEditCommands::cutThenPasteRestoresTheText()
{
    EditingFixture f;
    EditCommands commands(f.access());
    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("keep cut keep"));
    box.setSelStart(5);
    box.setSelLength(3);
    box.setSelBold(true);
    commands.cut();
    QCOMPARE(box.Text(), QStringLiteral("keep  keep"));
    commands.paste();
    QCOMPARE(box.Text(), QStringLiteral("keep cut keep"));
    box.setSelStart(5);
    box.setSelLength(3);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
}

void TestEditCommands::pastePrefersRtfAndAnEmptyClipboardChangesNothing()
{
    EditingFixture f;
    EditCommands commands(f.access());
    RichTextBox source;
    source.setText(QStringLiteral("rich"));
    source.selectAll();
    auto *data = new QMimeData;
    data->setText(QStringLiteral("plain"));
    data->setData(RichTextBox::RtfMimeType, source.SelRTF());
    QGuiApplication::clipboard()->setMimeData(data);
    commands.paste();
    QCOMPARE(f.box(1).Text(), QStringLiteral("rich"));

    QGuiApplication::clipboard()->clear();
    commands.paste();
    QCOMPARE(f.box(1).Text(), QStringLiteral("rich"));
}

void TestEditCommands::pastedPictureIsSavedWithTheNote_data()
{
    QTest::addColumn<bool>("asPngBytes");
    QTest::newRow("image/png") << true;
    QTest::newRow("image data") << false;
}

void TestEditCommands::pastedPictureIsSavedWithTheNote()
{
    QFETCH(bool, asPngBytes);
    EditingFixture f;
    EditCommands commands(f.access());
    f.box(1).setText(QStringLiteral("ab"));
    f.box(1).setSelStart(1);
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::green);
    auto *data = new QMimeData;
    if (asPngBytes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        data->setData(RichTextBox::PngMimeType, png);
    } else {
        data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data);
    commands.paste();
    QCOMPARE(f.box(1).Text(), QStringLiteral("a\uFFFCb"));
    const QByteArray saved = f.box(1).TextRTF();
    QVERIFY2(saved.contains("\\pngblip"), saved.constData());
    QVERIFY(saved.contains("\\picwgoal75\\pichgoal45"));
}

void TestEditCommands::pasteTakesTheRichestFlavourAndPlainPasteOnlyText_data()
{
    QTest::addColumn<bool>("withRtf");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("expectedBold");

    const QString html = QStringLiteral("<p>a <b>web</b> page</p>");
    QTest::newRow("rtf beats html") << true << html << "plain" << false << "rich" << true;
    QTest::newRow("html without rtf") << false << html << "a web page" << false << "a web page" << true;
    QTest::newRow("text only") << false << QString() << "typed" << false << "typed" << false;
    QTest::newRow("plain paste ignores rtf") << true << html << "plain" << true << "plain" << false;
    QTest::newRow("plain paste of html only") << false << html << QString() << true << "a web page" << false;
}

void TestEditCommands::pasteTakesTheRichestFlavourAndPlainPasteOnlyText()
{
    QFETCH(bool, withRtf);
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(bool, plain);
    QFETCH(QString, expectedText);
    QFETCH(bool, expectedBold);

    EditingFixture f;
    EditCommands commands(f.access());
    RichTextBox source;
    source.setText(QStringLiteral("rich"));
    source.selectAll();
    source.setSelBold(true);
    auto *data = new QMimeData;
    if (withRtf)
        data->setData(RichTextBox::RtfMimeType, source.SelRTF());
    if (!html.isEmpty())
        data->setHtml(html);
    if (!text.isEmpty())
        data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);

    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("[]"));
    box.setSelStart(1);
    plain ? commands.pastePlainText() : commands.paste();
    QCOMPARE(box.Text(), QStringLiteral("[%1]").arg(expectedText));
    // The part that is bold in the source: "rich" whole, or "web" in the page.
    const QString boldPart =
        expectedText.contains(QLatin1String("web")) ? QStringLiteral("web") : expectedText;
    box.setSelStart(box.Text().indexOf(boldPart));
    box.setSelLength(boldPart.size());
    QCOMPARE(box.SelBold(), std::optional<bool>(expectedBold));
}

void TestEditCommands::pastedWebTextTakesTheNotesFont()
{
    EditingFixture f;
    EditCommands commands(f.access());
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<p>a <b>web</b> page</p>"));
    QGuiApplication::clipboard()->setMimeData(data);
    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("x"));
    box.selectAll();
    box.setSelFontName(QStringLiteral("DejaVu Serif"));
    box.setSelFontSize(14.0);
    box.setSelStart(1);
    commands.paste();
    box.setSelStart(1);
    box.setSelLength(box.Text().size() - 1);
    QCOMPARE(box.SelText(), QStringLiteral("a web page"));
    QCOMPARE(box.SelFontSize(), std::optional<double>(14.0));
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
}

void TestEditCommands::keyboardCopyGivesTheSameFlavoursAsTheMenu()
{
    EditingFixture f;
    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("keys"));
    box.selectAll();
    box.copy(); // what Ctrl+C runs
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), QStringLiteral("keys"));
    QCOMPARE(data->data(RichTextBox::RtfMimeType), box.SelRTF());
}

void TestEditCommands::selectAllActsOnTheShownTab()
{
    EditingFixture f;
    EditCommands commands(f.access());
    f.box(1).setText(QStringLiteral("one"));
    f.box(4).setText(QStringLiteral("four\nlines"));
    f.shown = 4;
    commands.selectAll();
    QCOMPARE(f.box(4).SelText(), QStringLiteral("four\nlines"));
    QCOMPARE(f.box(1).SelLength(), 0);
}

void TestEditCommands::rightButtonReleasePaintsThenShowsTheEditMenu()
{
    EditingFixture f;
    EditingSession session(f.access(), {&f.box(1)}, nullptr);
    QMenu menu;
    menu.addAction(QStringLiteral("Select All"));
    session.setEditMenu(&menu);
    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("bold plain"));
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelBold(true);
    session.painter().arm();
    session.painter().run();
    box.setSelStart(5);
    box.setSelLength(5);

    emit box.MouseUp(Qt::LeftButton, QPoint(10, 10));
    QVERIFY(!menu.isVisible());
    QCOMPARE(box.SelBold(), std::optional<bool>(true));

    emit box.MouseUp(Qt::RightButton, QPoint(10, 10));
    QTRY_VERIFY(menu.isVisible());
    menu.close();
}

void TestEditCommands::contextItemsGoAboveTheEditMenuForMouseAndMenuKey()
{
    EditingFixture f;
    EditingSession session(f.access(), {&f.box(1)}, nullptr);
    QMenu edit;
    edit.addAction(QStringLiteral("Select All"));
    session.setEditMenu(&edit);
    bool offer = true;
    session.setContextItems([&offer](QMenu *menu, RichTextBox *, const QPoint &) {
        if (offer)
            menu->addAction(QStringLiteral("house"));
        return offer;
    });
    RichTextBox &box = f.box(1);
    box.show();
    const auto shownMenu = [&box]() -> QStringList {
        QMenu *menu = box.findChild<QMenu *>(QStringLiteral("notecontextmenu"));
        QStringList captions;
        if (menu && menu->isVisible())
            for (QAction *a : menu->actions())
                captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return captions;
    };

    emit box.MouseUp(Qt::RightButton, QPoint(10, 10));
    QTRY_COMPARE(shownMenu(), (QStringList{"house", "-", "Select All"}));
    QVERIFY(!edit.isVisible());
    box.findChild<QMenu *>(QStringLiteral("notecontextmenu"))->close();
    QTRY_VERIFY(!box.findChild<QMenu *>(QStringLiteral("notecontextmenu")));

    // The menu key takes the same route.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1),
                          box.viewport()->mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(box.viewport(), &key);
    QTRY_COMPARE(shownMenu(), (QStringList{"house", "-", "Select All"}));
    box.findChild<QMenu *>(QStringLiteral("notecontextmenu"))->close();

    offer = false;
    emit box.MouseUp(Qt::RightButton, QPoint(10, 10));
    QTRY_VERIFY(edit.isVisible());
    edit.close();
}

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
