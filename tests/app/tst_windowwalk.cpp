#include "WindowFixture.h"

#include "CompareMergeDialog.h"
#include "Dialogs.h"
#include "FontColourDialog.h"
#include "SplashScreen.h"
#include "WriteFailureText.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>

#include <QToolButton>
#include <cerrno>

#include <memory>

// Every top-level window of the program, opened as a user would at the first-start size, with
// the desktop font at several sizes (and, run again by CTest, at a 150 % scale): no caption may be
// cut, no button hidden. A picture of each window is kept in the build's artifacts folder.
class TestWindowWalk : public QObject
{
    Q_OBJECT

    QString m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QFont m_desktopFont;
    QStringList m_found;

    // What the user cannot see whole: a caption narrower or lower than it needs, a control
    // reaching past its window's edge, a toolbar button behind "»", a tab behind scroll arrows.
    static QStringList problems(QWidget *window)
    {
        QStringList found;
        const QRect inside = window->rect();
        const auto where = [window](QWidget *w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); };
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(window) || w->window() != window)
                continue;
            QString text;
            QSize need = w->sizeHint();
            if (auto *label = qobject_cast<QLabel *>(w)) {
                text = label->text();
                if (label->wordWrap() && !text.isEmpty())
                    need = QSize(0, label->heightForWidth(label->width()));
            } else if (auto *button = qobject_cast<QAbstractButton *>(w);
                       button && !qobject_cast<QToolButton *>(w)) {
                text = button->text();
                // The small "..." and "X" buttons beside a box need room for their caption, not
                // the style's usual width for a push button.
                if (qobject_cast<QPushButton *>(w) && text.size() <= 3)
                    need.setWidth(button->fontMetrics().size(Qt::TextShowMnemonic, text).width() +
                                  2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin));
            } else {
                continue;
            }
            if (text.isEmpty() && !qobject_cast<QCheckBox *>(w))
                continue;
            const QString name = QStringLiteral("%1 \"%2\"").arg(w->objectName(), text);
            if (w->width() < need.width() || w->height() < need.height())
                found << QStringLiteral("%1 is %2x%3, needs %4x%5")
                             .arg(name)
                             .arg(w->width())
                             .arg(w->height())
                             .arg(need.width())
                             .arg(need.height());
            if (!inside.contains(where(w)))
                found << name + QStringLiteral(" reaches past the window's edge");
        }
        for (QToolBar *bar : window->findChildren<QToolBar *>()) {
            if (!bar->isVisibleTo(window))
                continue;
            for (QAction *a : bar->actions()) {
                QWidget *button = bar->widgetForAction(a);
                if (a->isVisible() && !a->isSeparator() && (!button || !button->isVisibleTo(window)))
                    found << QStringLiteral("toolbar %1 hides \"%2\"").arg(bar->objectName(), a->text());
            }
        }
        for (QTabBar *tabs : window->findChildren<QTabBar *>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect r = tabs->tabRect(i);
                if (r.left() < 0 || r.right() >= tabs->width())
                    found << QStringLiteral("tab \"%1\" is out of view").arg(tabs->tabText(i));
                const int text = tabs->fontMetrics().size(Qt::TextShowMnemonic, tabs->tabText(i)).width();
                if (r.width() < text + tabs->iconSize().width())
                    found << QStringLiteral("tab \"%1\" is cut short").arg(tabs->tabText(i));
            }
            for (QToolButton *arrow : tabs->findChildren<QToolButton *>())
                if (arrow->isVisible())
                    found << QStringLiteral("the tab strip scrolls");
        }
        return found;
    }

    void keepPicture(QWidget *window, const QString &name)
    {
        const QString dir = QStringLiteral(QB_ARTIFACTS_DIR "/windows");
        QDir().mkpath(dir);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        window->grab().save(QStringLiteral("%1/%2-scale%3-%4.png").arg(dir, tag, m_scale, name));
    }

    // Looks at one window; what is wrong is gathered, so one run reports every window.
    void check(QWidget *window, const QString &name)
    {
        if (!window) {
            m_found << name + QStringLiteral(" did not open");
            return;
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents();
        keepPicture(window, name);
        for (const QString &problem : problems(window))
            m_found << name + QStringLiteral(": ") + problem;
    }

    template <typename W> static W *openWindow(const QString &objectName = {})
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<W *>(w);
                found && w->isVisible() && (objectName.isEmpty() || w->objectName() == objectName))
                return found;
        return nullptr;
    }

private slots:
    void initTestCase() { m_desktopFont = QApplication::font(); }

    void everyWindowShowsItsCaptionsWhole_data()
    {
        QTest::addColumn<double>("points");
        QTest::newRow("desktop font") << 0.0;
        QTest::newRow("9 pt") << 9.0;
        QTest::newRow("11 pt") << 11.0;
        QTest::newRow("14 pt") << 14.0;
    }

    void everyWindowShowsItsCaptionsWhole()
    {
        QFETCH(double, points);
        m_found.clear();
        QFont font = m_desktopFont;
        if (points > 0)
            font.setPointSizeF(points);
        QApplication::setFont(font);

        WindowFixture f; // the first start: no settings at all but a quiet one
        f.settings->SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
        f.settings->SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("No"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        check(&w, QStringLiteral("main-window"));
        // The tab strip with the keyboard, as after a click on a tab, shows it.
        w.tabStrip()->setFocus(Qt::MouseFocusReason);
        check(&w, QStringLiteral("main-window-tab-strip-focus"));
        w.FocusVisibleEditor();
        // The notice of a note that a full disk kept from being saved, and the one of a note
        // directory that cannot take notes, above the note; one replaces the other.
        w.showNotice(QStringLiteral("write 1"),
                     WriteFailureText::noteNotSaved(DurableFile::Failure::fromErrno(ENOSPC),
                                                    QStringLiteral("Notes"), w.NoteDir(), {}));
        check(&w, QStringLiteral("main-window-notice-full-disk"));
        w.dismissNotice(QStringLiteral("write 1"));
        w.showNotice(
            QStringLiteral("note directory"),
            WriteFailureText::unusableNoteDirectory(DurableFile::Failure::fromErrno(EROFS), w.NoteDir()));
        check(&w, QStringLiteral("main-window-notice-read-only"));
        w.dismissNotice(QStringLiteral("note directory"));

        w.menuItem(QStringLiteral("find"))->trigger();
        QDialog *find = openWindow<QDialog>(QStringLiteral("FindReplaceDialog"));
        check(find, QStringLiteral("find"));
        find->findChild<QPushButton *>(QStringLiteral("cmdReplace"))->click();
        // The two-line report of Replace All, in the replace mode.
        w.ActiveEditor()->setText(QStringLiteral("a a"));
        find->findChild<QComboBox *>(QStringLiteral("cboFind"))->setEditText(QStringLiteral("a"));
        find->findChild<QComboBox *>(QStringLiteral("cboReplace"))->setEditText(QStringLiteral("aa"));
        find->findChild<QPushButton *>(QStringLiteral("cmdReplaceAll"))->click();
        check(find, QStringLiteral("find-replace"));
        find->close();

        w.menuItem(QStringLiteral("searchall"))->trigger();
        check(openWindow<QDialog>(QStringLiteral("SearchAllNotes")), QStringLiteral("search-all-notes"));
        w.menuItem(QStringLiteral("Run"))->trigger();
        check(openWindow<QDialog>(QStringLiteral("RunDialog")), QStringLiteral("run"));
        w.menuItem(QStringLiteral("about"))->trigger();
        check(openWindow<QDialog>(QStringLiteral("AboutBox")), QStringLiteral("about"));
        w.menuItem(QStringLiteral("set"))->trigger();
        check(openWindow<QDialog>(QStringLiteral("SetupDialog")), QStringLiteral("setup"));
        w.menuItem(QStringLiteral("notehistory"))->trigger();
        check(openWindow<QDialog>(QStringLiteral("NoteHistoryDialog")), QStringLiteral("note-history"));
        w.menuItem(QStringLiteral("helpcontents"))->trigger();
        check(openWindow<QWidget>(QStringLiteral("HelpWindow")), QStringLiteral("help"));

        const std::unique_ptr<QInputDialog> password(
            Dialogs::inputBox(nullptr, QStringLiteral("Quillbox Plus - Password Protection"),
                              QStringLiteral("Please Enter Your Password."), true));
        check(password.get(), QStringLiteral("password"));
        // The whole title fits the box's width beside the window buttons.
        QFont title = password->font();
        title.setBold(true);
        QVERIFY(password->width() > QFontMetrics(title).horizontalAdvance(password->windowTitle()));

        CompareMergeDialog compare(QStringLiteral("Notes"), WindowFixture::rtf("mine\\par same"),
                                   WindowFixture::rtf("theirs\\par same"), QStringLiteral("device ABCDEFG"),
                                   QDateTime(QDate(2026, 12, 7), QTime(13, 5)));
        check(&compare, QStringLiteral("compare-merge"));
        SplashScreen splash;
        check(&splash, QStringLiteral("splash"));
        FontColourDialog fonts(FontChoice{w.ActiveEditor()->currentFont(), QColor(Qt::darkRed)});
        check(&fonts, QStringLiteral("font"));

        for (QWidget *top : QApplication::topLevelWidgets())
            if (top != &w && top->isVisible())
                top->close();
        w.shutdown();
        QApplication::setFont(m_desktopFont);
        QVERIFY2(m_found.isEmpty(), qPrintable(m_found.join(QStringLiteral("\n"))));
    }
};

QTEST_MAIN(TestWindowWalk)
#include "tst_windowwalk.moc"
