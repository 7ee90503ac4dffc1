#include "LockNoteDialog.h"
#include "LockedNotePanel.h"
#include "PassphraseDialog.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

QLineEdit *field(QWidget *owner, const char *name)
{
    return owner->findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *pushButton(QWidget *owner, const char *name)
{
    return owner->findChild<QPushButton *>(QLatin1String(name));
}

QString shownMessage(QWidget *owner)
{
    auto *line = owner->findChild<QLabel *>(QStringLiteral("PassphraseMessage"));
    return line && line->isVisible() ? line->text() : QString();
}

// True when every character of the text was overwritten: a copy taken before the wipe shares
// the field's characters and sees them go.
bool overwritten(const QString &copy)
{
    return std::all_of(copy.begin(), copy.end(), [](QChar c) { return c.isNull(); });
}

// Types the text into the field; characters QTest has no key for are put in as an input method would.
void type(QLineEdit *field, const QString &text)
{
    bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (ascii) {
        QTest::keyClicks(field, text);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(field, &commit);
    }
}

// Every label in view shows all of its text: a wrapped one is as tall as its lines, another as
// wide as its words. Lists the ones cut off.
QStringList cutLabels(QWidget *root)
{
    QStringList cut;
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty())
            continue;
        const bool whole = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                             : label->width() >= label->sizeHint().width();
        if (!whole)
            cut << label->text();
    }
    return cut;
}

Secret secretOf(const QSignalSpy &spy)
{
    return spy.isEmpty() ? Secret() : spy.first().first().value<Secret>();
}

} // namespace

class TestLockWidgets : public QObject
{
    Q_OBJECT
private slots:
    void lockIsOfferedOnlyForLongMatchingPassphrases_data()
    {
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("toldTheyDiffer");
        QTest::newRow("nothing typed") << ""
                                       << "" << false << false;
        QTest::newRow("seven characters twice") << "gx7#pQ2"
                                                << "gx7#pQ2" << false << false;
        QTest::newRow("repeat not typed yet") << "gx7#pQ2!"
                                              << "" << false << false;
        QTest::newRow("repeat differs") << "gx7#pQ2!"
                                        << "gx7#pQ2?" << false << true;
        QTest::newRow("repeat cut short") << "gx7#pQ2!"
                                          << "gx7#pQ2" << false << true;
        QTest::newRow("case differs") << "gx7#pQ2!"
                                      << "GX7#pQ2!" << false << true;
        QTest::newRow("eight characters twice") << "gx7#pQ2!"
                                                << "gx7#pQ2!" << true << false;
        QTest::newRow("weak but long enough") << "password"
                                              << "password" << true << false;
        QTest::newRow("eight characters beyond the BMP")
            << QString::fromUtf8("😀😀😀😀😀😀😀😀") << QString::fromUtf8("😀😀😀😀😀😀😀😀") << true << false;
    }

    void lockIsOfferedOnlyForLongMatchingPassphrases()
    {
        QFETCH(QString, passphrase);
        QFETCH(QString, repeat);
        QFETCH(bool, offered);
        QFETCH(bool, toldTheyDiffer);
        QWidget window;
        LockNoteDialog dialog(QStringLiteral("Notes"), &window);
        dialog.show();
        type(field(&dialog, "Passphrase"), passphrase);
        type(field(&dialog, "RepeatPassphrase"), repeat);
        QCOMPARE(pushButton(&dialog, "LockButton")->isEnabled(), offered);
        auto *mismatch = dialog.findChild<QLabel *>(QStringLiteral("PassphraseMismatch"));
        QCOMPARE(mismatch->isVisible(), toldTheyDiffer);
        QTRY_COMPARE(cutLabels(&dialog).join(u'|'), QString());

        // Enter in the repeat field locks exactly when the button is offered.
        QTest::keyClick(field(&dialog, "RepeatPassphrase"), Qt::Key_Return);
        QCOMPARE(dialog.result() == QDialog::Accepted, offered);
        QCOMPARE(dialog.isVisible(), !offered);
    }

    void lockGivesThePassphraseAndWipesTheFields()
    {
        QWidget window;
        LockNoteDialog dialog(QStringLiteral("Web Pages"), &window);
        QCOMPARE(dialog.parentWidget(), &window);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Lock Note"));
        const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel *l) {
            return l->text() ==
                   QStringLiteral("Lock the note \"Web Pages\" with a passphrase. Without it the note "
                                  "cannot be read: the passphrase cannot be recovered.");
        }));
        dialog.show();
        const QString typed = QStringLiteral("correct horse battery");
        QTest::keyClicks(field(&dialog, "Passphrase"), typed);
        QTest::keyClicks(field(&dialog, "RepeatPassphrase"), typed);
        const QString first = field(&dialog, "Passphrase")->text();
        const QString second = field(&dialog, "RepeatPassphrase")->text();

        QTest::mouseClick(pushButton(&dialog, "LockButton"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.takePassphrase() == Secret(typed));
        QVERIFY(dialog.takePassphrase().isEmpty()); // handed over, no copy kept
        QVERIFY(field(&dialog, "Passphrase")->text().isEmpty());
        QVERIFY(field(&dialog, "RepeatPassphrase")->text().isEmpty());
        QVERIFY(overwritten(first));
        QVERIFY(overwritten(second));
    }

    void everyWayOutWipesTheFields_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("window closed") << "close";
    }

    void everyWayOutWipesTheFields()
    {
        QFETCH(QString, way);
        QWidget window;
        LockNoteDialog dialog(QStringLiteral("Notes"), &window);
        dialog.show();
        QTest::keyClicks(field(&dialog, "Passphrase"), QStringLiteral("gx7#pQ2!"));
        QTest::keyClicks(field(&dialog, "RepeatPassphrase"), QStringLiteral("gx7#pQ2!"));
        const QString copy = field(&dialog, "Passphrase")->text();
        if (way == QLatin1String("cancel"))
            QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        else if (way == QLatin1String("escape"))
            QTest::keyClick(field(&dialog, "Passphrase"), Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.takePassphrase().isEmpty());
        QVERIFY(field(&dialog, "Passphrase")->text().isEmpty());
        QVERIFY(field(&dialog, "RepeatPassphrase")->text().isEmpty());
        QVERIFY(overwritten(copy));
    }

    void showUnmasksEveryField_data()
    {
        QTest::addColumn<QString>("dialogKind");
        QTest::newRow("Lock Note") << "lock";
        QTest::newRow("Remove Lock") << "remove";
    }

    void showUnmasksEveryField()
    {
        QFETCH(QString, dialogKind);
        std::unique_ptr<QDialog> dialog(
            dialogKind == QLatin1String("lock")
                ? static_cast<QDialog *>(new LockNoteDialog(QStringLiteral("Notes"), nullptr))
                : PassphraseDialog::removeLock(QStringLiteral("Notes"), nullptr));
        const QList<QLineEdit *> fields = dialog->findChildren<QLineEdit *>();
        QVERIFY(!fields.isEmpty());
        for (QLineEdit *f : fields)
            QCOMPARE(f->echoMode(), QLineEdit::Password);
        auto *show = dialog->findChild<QCheckBox *>(QStringLiteral("ShowPassphrase"));
        QCOMPARE(show->text(), QStringLiteral("Sho&w"));
        show->click();
        for (QLineEdit *f : fields)
            QCOMPARE(f->echoMode(), QLineEdit::Normal);
        show->click();
        for (QLineEdit *f : fields)
            QCOMPARE(f->echoMode(), QLineEdit::Password);
    }

    void everyControlHasAnAccessibleName_data()
    {
        QTest::addColumn<QString>("widgetKind");
        QTest::newRow("Lock Note") << "lock";
        QTest::newRow("Remove Lock") << "remove";
        QTest::newRow("locked tab") << "panel";
    }

    void everyControlHasAnAccessibleName()
    {
        QFETCH(QString, widgetKind);
        std::unique_ptr<QWidget> widget;
        if (widgetKind == QLatin1String("lock"))
            widget = std::make_unique<LockNoteDialog>(QStringLiteral("Notes"), nullptr);
        else if (widgetKind == QLatin1String("remove"))
            widget.reset(PassphraseDialog::removeLock(QStringLiteral("Notes"), nullptr));
        else
            widget = std::make_unique<LockedNotePanel>();
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        const QList<QWidget *> controls = widget->findChildren<QWidget *>();
        int named = 0;
        for (QWidget *control : controls) {
            if (!qobject_cast<QLineEdit *>(control) && !qobject_cast<QAbstractButton *>(control))
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            QVERIFY(face);
            const QString name = face->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!name.contains(u'&'), qPrintable(name));
            ++named;
        }
        QVERIFY(named >= 3);
    }

    void removeLockWaitsForTheCheckAndStaysOpenOnError()
    {
        QWidget window;
        std::unique_ptr<PassphraseDialog> dialog(
            PassphraseDialog::removeLock(QStringLiteral("Notes"), &window));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Remove Lock"));
        auto *accept = pushButton(dialog.get(), "AcceptButton");
        QCOMPARE(accept->text(), QStringLiteral("&Remove Lock"));
        QSignalSpy given(dialog.get(), &PassphraseDialog::passphraseGiven);
        dialog->show();
        QVERIFY(!accept->isEnabled()); // nothing typed yet
        auto *passphrase = field(dialog.get(), "Passphrase");
        QTest::keyClicks(passphrase, QStringLiteral("guessed wrong"));
        QTest::keyClick(passphrase, Qt::Key_Return);

        QCOMPARE(given.count(), 1);
        QVERIFY(secretOf(given) == Secret(QStringLiteral("guessed wrong")));
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isChecking());
        QVERIFY(!accept->isEnabled());
        QTest::keyClick(passphrase, Qt::Key_Return);       // a second Enter while checking asks nothing
        QTest::keyClicks(passphrase, QStringLiteral("x")); // nor can the text change under the check
        QCOMPARE(given.count(), 1);
        QCOMPARE(passphrase->text(), QStringLiteral("guessed wrong"));

        dialog->showError(QStringLiteral("The passphrase is wrong."));
        QVERIFY(dialog->isVisible());
        QTRY_COMPARE(cutLabels(dialog.get()), QStringList());
        QCOMPARE(shownMessage(dialog.get()), QStringLiteral("The passphrase is wrong."));
        QVERIFY(accept->isEnabled());
        QCOMPARE(passphrase->selectedText(), QStringLiteral("guessed wrong")); // typing replaces it
        QTest::keyClicks(passphrase, QStringLiteral("the right one"));
        QTest::mouseClick(accept, Qt::LeftButton);
        QCOMPARE(given.count(), 2);
        QVERIFY(secretOf(given) == Secret(QStringLiteral("guessed wrong")));
        QVERIFY(given.at(1).first().value<Secret>() == Secret(QStringLiteral("the right one")));
        QCOMPARE(shownMessage(dialog.get()), QString()); // the old error goes with the new try

        const QString copy = passphrase->text();
        dialog->accept();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(passphrase->text().isEmpty());
        QVERIFY(overwritten(copy));
    }

    void panelAsksToUnlockWithTheTypedPassphrase_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("Enter, not remembered") << false << true;
        QTest::newRow("Enter, remembered") << true << true;
        QTest::newRow("Unlock button, remembered") << true << false;
    }

    void panelAsksToUnlockWithTheTypedPassphrase()
    {
        QFETCH(bool, remember);
        QFETCH(bool, byEnter);
        LockedNotePanel panel;
        panel.setRemember(remember);
        QSignalSpy asked(&panel, &LockedNotePanel::unlockRequested);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto *passphrase = field(&panel, "Passphrase");
        auto *unlock = pushButton(&panel, "UnlockButton");
        QTest::keyClick(passphrase, Qt::Key_Return);
        QCOMPARE(asked.count(), 0); // nothing typed: nothing to try
        QVERIFY(!unlock->isEnabled());

        QTest::keyClicks(passphrase, QStringLiteral("my old bicycle"));
        if (byEnter)
            QTest::keyClick(passphrase, Qt::Key_Return);
        else
            QTest::mouseClick(unlock, Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QVERIFY(secretOf(asked) == Secret(QStringLiteral("my old bicycle")));
        QCOMPARE(asked.first().at(1).toBool(), remember);

        // Busy until the window tells the outcome: nothing more can be typed or asked.
        QVERIFY(panel.isBusy());
        QCOMPARE(shownMessage(&panel), QStringLiteral("Unlocking…"));
        QVERIFY(!passphrase->isEnabled());
        QVERIFY(!unlock->isEnabled());
        QVERIFY(!panel.findChild<QCheckBox *>()->isEnabled());
        QTest::keyClick(passphrase, Qt::Key_Return);
        QCOMPARE(asked.count(), 1);
    }

    void panelClearWipesTheField()
    {
        LockedNotePanel panel;
        panel.show();
        auto *passphrase = field(&panel, "Passphrase");
        QTest::keyClicks(passphrase, QStringLiteral("opened at last"));
        QTest::keyClick(passphrase, Qt::Key_Return);
        const QString copy = passphrase->text();
        panel.clear();
        QVERIFY(!panel.isBusy());
        QVERIFY(passphrase->text().isEmpty());
        QVERIFY(overwritten(copy));
        QCOMPARE(shownMessage(&panel), QString());
        QVERIFY(!pushButton(&panel, "UnlockButton")->isEnabled());
    }

    // The main window may be as small as 300 by 200; what is left for the note is less. The
    // panel's words, field and button stay in view, side by side, at the normal and a large font.
    void panelFitsASmallWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("fontScale");
        QTest::addColumn<bool>("padlock");
        QTest::newRow("300x200") << QSize(300, 200) << 1.0 << true;
        QTest::newRow("300x120") << QSize(300, 120) << 1.0 << false;
        QTest::newRow("300x200, large font") << QSize(300, 200) << 1.5 << false;
        QTest::newRow("300x300, large font") << QSize(300, 300) << 1.5 << true;
    }

    void panelFitsASmallWindow()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, fontScale);
        QFETCH(bool, padlock);
        LockedNotePanel panel;
        QFont font = panel.font();
        font.setPointSizeF(font.pointSizeF() * fontScale);
        panel.setFont(font);
        panel.resize(size);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.size(), size);

        auto *scroll = panel.findChild<QScrollArea *>();
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
        const QRect view = panel.rect();
        for (QWidget *w : QList<QWidget *>{panel.findChild<QLabel *>(QStringLiteral("LockedTitle")),
                                           field(&panel, "Passphrase"), pushButton(&panel, "UnlockButton")}) {
            const QRect place(w->mapTo(&panel, QPoint(0, 0)), w->size());
            QVERIFY2(view.contains(place), qPrintable(w->objectName()));
        }
        const QRect fieldPlace = field(&panel, "Passphrase")->geometry();
        QCOMPARE(pushButton(&panel, "UnlockButton")->geometry().center().y(), fieldPlace.center().y());
        QVERIFY(fieldPlace.width() >= panel.fontMetrics().averageCharWidth() * 12);
        QCOMPARE(panel.findChild<QWidget *>(QStringLiteral("LockImage"))->isVisible(), padlock);
        panel.showError(QStringLiteral("The passphrase is wrong."));
        QTRY_COMPARE(cutLabels(&panel), QStringList());
    }
};

QTEST_MAIN(TestLockWidgets)
#include "tst_lockwidgets.moc"
