#include "ClickableLabel.h"
#include "ProgramPlaces.h"
#include "AboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {
const QString kSite = QStringLiteral("https://quillbox.example.org/");
const QString kMail = QStringLiteral("support@quillbox.example.org");

int openAboutBoxes()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += (qobject_cast<AboutBox *>(w) && w->isVisible()) ? 1 : 0;
    return n;
}
} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ProgramPlaces::overrideDataDirectory(QStringLiteral(QB_SOURCE_DIR "/data")); }
    void init() { m_calls.clear(); }
    void cleanup();

    void showsNameVersionPictureAndLinks();
    void textsAreNotCutOff();
    void openedTwiceIsOneCentredBox();
    void changingOnesMindOffTheLinkOpensNothing();
    void okClosesAndTheNextOpeningIsFresh_data();
    void okClosesAndTheNextOpeningIsFresh();

private:
    QStringList m_calls;
    AboutBox *open()
    {
        AboutLinks links;
        links.webSite = kSite;
        links.supportEmail = kMail;
        links.openWebSite = [this](QWidget *owner, const QString &site) {
            m_calls << QStringLiteral("web %1 %2").arg(site, owner ? owner->objectName() : QString());
        };
        links.composeEmail = [this](QWidget *owner, const QString &address) {
            m_calls << QStringLiteral("mail %1 %2").arg(address, owner ? owner->objectName() : QString());
        };
        return ShowAbout(nullptr, links);
    }
};

void TestAbout::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<AboutBox *>(w))
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestAbout::showsNameVersionPictureAndLinks()
{
    AboutBox *about = open();
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label2"))->text(),
             QStringLiteral("Quillbox Plus by Vek"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label2Shadow"))->text(),
             QStringLiteral("Quillbox Plus by Vek"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 5.3"));
    QCOMPARE(about->webSiteLabel()->text(), QStringLiteral("Click Here to Visit Our Web Site: ") + kSite);
    QCOMPARE(about->emailLabel()->text(), QStringLiteral("E-Mail: ") + kMail);
    QCOMPARE(about->okButton()->text(), QStringLiteral("&Ok"));
    QVERIFY(about->okButton()->isDefault());
    QVERIFY(!about->picture()->pixmap().isNull());
    QVERIFY(!about->isModal());
    // The shadow sits 15 twips (a pixel at the usual resolution) left of the title.
    const auto *title = about->findChild<QLabel *>(QStringLiteral("Label2"));
    const auto *shadow = about->findChild<QLabel *>(QStringLiteral("Label2Shadow"));
    QVERIFY(shadow->x() < title->x());
    QCOMPARE(shadow->y(), title->y());
}

void TestAbout::textsAreNotCutOff()
{
    AboutBox *about = open();
    for (QLabel *label : about->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->text()));
    }
    QVERIFY(about->rect().contains(about->okButton()->geometry()));
}

void TestAbout::openedTwiceIsOneCentredBox()
{
    AboutBox *first = open();
    AboutBox *second = open();
    QCOMPARE(second, first);
    QCOMPARE(openAboutBoxes(), 1);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(first->frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(first->frameGeometry().center().y() - screen.center().y()) <= 1);
}

void TestAbout::changingOnesMindOffTheLinkOpensNothing()
{
    AboutBox *about = open();
    ClickableLabel *label = about->webSiteLabel();
    QTest::mousePress(label, Qt::LeftButton, {}, label->rect().center());
    QTest::mouseRelease(label, Qt::LeftButton, {}, label->rect().bottomRight() + QPoint(40, 40));
    QVERIFY(m_calls.isEmpty());
}

void TestAbout::okClosesAndTheNextOpeningIsFresh_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Ok clicked") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestAbout::okClosesAndTheNextOpeningIsFresh()
{
    QFETCH(int, key);
    QPointer<AboutBox> about = open();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    if (key == 0)
        QTest::mouseClick(about->okButton(), Qt::LeftButton);
    else
        QTest::keyClick(about.data(), Qt::Key(key));
    QTRY_VERIFY(about.isNull());
    AboutBox *again = open();
    QVERIFY(again);
    QVERIFY(again->isVisible());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
