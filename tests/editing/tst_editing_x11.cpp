// Runs on a real X server (Xvfb), where the keyboard goes to one window at a time: after a
// command in a dialog the user's next keys must reach the note.
#include "FindReplaceDialog.h"
#include "RichTextBox.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

class TestEditingX11 : public QObject
{
    Q_OBJECT

private slots:
    void findAndReplaceGiveTheKeyboardToTheNote();
};

void TestEditingX11::findAndReplaceGiveTheKeyboardToTheNote()
{
    QWidget window;
    auto *box = new RichTextBox(&window);
    box->setText(QStringLiteral("one two one two"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    FindReplaceDialog *dialog = FindReplaceDialog::open(&window, [box] { return box; });
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->findChild<QComboBox *>(QStringLiteral("cboFind"))->setEditText(QStringLiteral("two"));

    dialog->clickFind();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->SelText(), QStringLiteral("two"));

    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->clickReplace(); // into replace mode: nothing is searched, the dialog keeps the keys
    dialog->findChild<QComboBox *>(QStringLiteral("cboReplace"))->setEditText(QStringLiteral("2"));
    dialog->clickReplace();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->Text(), QStringLiteral("one 2 one two"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    QCOMPARE(box->Text(), QStringLiteral("one 2 one x"));
    dialog->close();
}

QTEST_MAIN(TestEditingX11)
#include "tst_editing_x11.moc"
