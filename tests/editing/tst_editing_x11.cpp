// Runs on a real X server (Xvfb), where the keyboard goes to one window at a time: the Find dialog
// keeps it while the user searches, so Enter finds the next match and never types into the note
// behind it; closing the dialog hands it to the note.
#include "FindReplaceDialog.h"
#include "RichTextBox.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

class TestEditingX11 : public QObject
{
    Q_OBJECT

private slots:
    void findKeepsTheKeyboardUntilTheDialogCloses();
};

void TestEditingX11::findKeepsTheKeyboardUntilTheDialogCloses()
{
    QWidget window;
    auto *box = new RichTextBox(&window);
    box->setText(QStringLiteral("one two one two two"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    FindReplaceDialog *dialog = FindReplaceDialog::open(&window, [box] { return box; });
    // Without a window manager the activation asked for before the dialog was mapped is lost.
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    auto *cboFind = dialog->findChild<QComboBox *>(QStringLiteral("cboFind"));
    QTRY_VERIFY(cboFind->hasFocus());
    cboFind->setEditText(QStringLiteral("two"));

    // Enter, Enter: Find, then Find Next. After each, the X server has had its say on the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(box->SelStart(), 4);
    QGuiApplication::sync();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QGuiApplication::sync();
    QCOMPARE(box->Text(), QStringLiteral("one two one two two"));
    QCOMPARE(box->SelStart(), 12);
    QCOMPARE(QApplication::activeWindow(), dialog);

    dialog->clickReplace(); // into replace mode
    dialog->findChild<QComboBox *>(QStringLiteral("cboReplace"))->setEditText(QStringLiteral("2"));
    dialog->clickReplace();
    QGuiApplication::sync();
    QCOMPARE(box->Text(), QStringLiteral("one two one 2 two"));
    QCOMPARE(box->SelStart(), 14); // the next match, selected
    QCOMPARE(QApplication::activeWindow(), dialog);

    // Esc: the dialog goes, the match stays selected and the next key replaces it in view.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QTRY_VERIFY(window.isActiveWindow());
    QCOMPARE(box->SelText(), QStringLiteral("two"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    QCOMPARE(box->Text(), QStringLiteral("one two one 2 x"));
}

QTEST_MAIN(TestEditingX11)
#include "tst_editing_x11.moc"
