#include "ParagraphDiff.h"

#include <QtTest>

using Hunk = ParagraphDiff::Hunk;
Q_DECLARE_METATYPE(QList<Hunk>)

namespace QTest {
template <> char *toString(const Hunk &h)
{
    return qstrdup(QByteArray::number(h.mineStart) + "+" + QByteArray::number(h.mineCount) + "/" +
                   QByteArray::number(h.theirsStart) + "+" + QByteArray::number(h.theirsCount));
}
} // namespace QTest

// Which paragraphs of two versions of a note are marked as different.
class TestParagraphDiff : public QObject
{
    Q_OBJECT

    static QStringList paragraphs(const QString &letters)
    {
        QStringList list;
        for (QChar c : letters)
            list << QString(c);
        return list;
    }

private slots:
    void marksTheParagraphsThatDiffer_data()
    {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<QList<Hunk>>("hunks");
        QTest::addColumn<int>("differing"); // a paragraph changed on both sides counts once
        QTest::newRow("equal") << "abc"
                               << "abc" << QList<Hunk>{} << 0;
        QTest::newRow("both empty") << ""
                                    << "" << QList<Hunk>{} << 0;
        QTest::newRow("one line changed") << "abc"
                                          << "aXc" << QList<Hunk>{{1, 1, 1, 1}} << 1;
        QTest::newRow("one line replaced by two") << "abc"
                                                  << "aXYc" << QList<Hunk>{{1, 1, 1, 2}} << 2;
        QTest::newRow("added at the end") << "ab"
                                          << "abcd" << QList<Hunk>{{2, 0, 2, 2}} << 2;
        QTest::newRow("removed at the start") << "abc"
                                              << "c" << QList<Hunk>{{0, 2, 0, 0}} << 2;
        QTest::newRow("all new") << ""
                                 << "xy" << QList<Hunk>{{0, 0, 0, 2}} << 2;
        QTest::newRow("two places") << "abcdef"
                                    << "aXcdeYf" << QList<Hunk>{{1, 1, 1, 1}, {5, 0, 5, 1}} << 2;
        QTest::newRow("moved line") << "abcd"
                                    << "bcad" << QList<Hunk>{{0, 1, 0, 0}, {3, 0, 2, 1}} << 2;
        QTest::newRow("repeated lines") << "aaXa"
                                        << "aaa" << QList<Hunk>{{2, 1, 2, 0}} << 1;
    }
    void marksTheParagraphsThatDiffer()
    {
        QFETCH(QString, mine);
        QFETCH(QString, theirs);
        QFETCH(QList<Hunk>, hunks);
        QFETCH(int, differing);
        const ParagraphDiff diff = ParagraphDiff::of(paragraphs(mine), paragraphs(theirs));
        QCOMPARE(diff.hunks, hunks);
        QCOMPARE(diff.differing(), differing);
        QCOMPARE(diff.same(), hunks.isEmpty());

        // Every paragraph not marked has its equal, in the same order, on the other side.
        QStringList keptMine = paragraphs(mine), keptTheirs = paragraphs(theirs);
        const QList<int> changedMine = diff.changedMine(), changedTheirs = diff.changedTheirs();
        for (qsizetype i = changedMine.size() - 1; i >= 0; --i)
            keptMine.removeAt(changedMine[i]);
        for (qsizetype i = changedTheirs.size() - 1; i >= 0; --i)
            keptTheirs.removeAt(changedTheirs[i]);
        QCOMPARE(keptMine, keptTheirs);
    }

    void aHugeRewriteIsMarkedAsAWhole()
    {
        // Two unrelated 5000-paragraph versions with a common first and last line: too many pairs
        // to compare one by one, so everything between those lines is marked.
        QStringList mine{"top"}, theirs{"top"};
        for (int i = 0; i < 5000; ++i) {
            mine << QStringLiteral("mine %1").arg(i);
            theirs << QStringLiteral("theirs %1").arg(i);
        }
        mine << "end";
        theirs << "end";
        const ParagraphDiff diff = ParagraphDiff::of(mine, theirs);
        QCOMPARE(diff.hunks, QList<Hunk>({{1, 5000, 1, 5000}}));
    }
};

QTEST_GUILESS_MAIN(TestParagraphDiff)
#include "tst_paragraphdiff.moc"
